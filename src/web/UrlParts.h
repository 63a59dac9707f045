// Taking a URL apart into the host, port and path that the HTTP request
// routine hands to the system's internet API.
#pragma once

#include "core/Text.h"

namespace UrlParts {

// The host in lower case; with keepPort also the ":" and port that follow it.
// A URL without scheme is read as "http://".
Text host(const Text& url, bool keepPort = false);

// The explicit port (0 when the colon has no number after it), else 443 for a
// URL beginning with "https" and 80 otherwise.
int port(const Text& url);

// Everything from the first "/" after the host, in its own letter case and
// with its query; "/" when there is none.
Text path(const Text& url);

}  // namespace UrlParts
