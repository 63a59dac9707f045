#include "core/Text.h"

#include <algorithm>

Text textFromBlob(const ByteBlob& blob) {
  auto end = std::find(blob.begin(), blob.end(), std::uint8_t{0});
  return Text(blob.begin(), end);
}

ByteBlob blobFromText(const Text& text) { return ByteBlob(text.begin(), text.end()); }
