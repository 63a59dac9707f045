// The platform's HTTP file reader: a plain GET of a URL.
#pragma once

#include "core/Text.h"

class HttpFileReader {
 public:
  virtual ~HttpFileReader() = default;

  // The body of a GET of url, fresh from the server and whatever the status
  // (an error page included); empty when the request fails.
  virtual ByteBlob get(const Text& url) = 0;
};
