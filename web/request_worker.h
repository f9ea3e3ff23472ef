// The record that a page request hands to its worker thread, and the worker's routine.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "text/numbers.h"

namespace vd {

// Written by the calling thread before the worker starts; the results are read by it only after the
// worker has ended. An abandoned worker keeps writing into its own record, which it co-owns.
struct RequestRecord {
  // On the way in.
  std::string url;  // after the scheme prefix rule
  bool post = false;
  std::string proxy;
  std::string extra_headers;
  Bytes body;
  std::string cookies;
  bool allow_redirects = true;
  std::size_t body_limit = 0;  // bytes kept of the response body; the rest is discarded

  // On the way back.
  Bytes response_body;           // all bytes received (up to body_limit), zero bytes included
  std::string cookies_received;  // "name=value;" for each cookie the response set
  std::string header_block;      // the raw header block of the last response, status line first
  std::string final_url;         // the address of the last response
};

// Carries the request out on the calling thread and fills the results. When the request cannot be made
// (a host that is not a host name, a port out of range, a client that cannot be set up) the results stay
// empty. Stops soon after `cancelled` becomes true.
void request_worker(RequestRecord& record, const std::atomic<bool>& cancelled);

}  // namespace vd
