// HttpFileReader over WinInet.
#pragma once

#include "web/HttpFileReader.h"
#include "web/InternetApi.h"

class HttpFileReaderWin32 final : public HttpFileReader {
 public:
  explicit HttpFileReaderWin32(const InternetTimeouts& timeouts = InternetTimeouts{})
      : timeouts_(timeouts) {}

  ByteBlob get(const Text& url) override;

 private:
  InternetTimeouts timeouts_;
};
