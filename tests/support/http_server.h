// A small scripted HTTP/1.1 server for tests, listening on 127.0.0.1 on a port of its own choosing.
//
// It records the exact bytes of every request it reads and answers each one as the test scripts it:
//
//   vd::test::HttpServer server;
//   server.on("/page", vd::test::HttpReply::page("<html>hi</html>"));
//   server.on("/moved", vd::test::HttpReply::redirect("/page"));
//   server.on("/slow", [](const vd::test::HttpRequest&) { return vd::test::HttpReply::silent(); });
//   fetch_page(server.url("/page"));
//   server.requests()[0].raw  // "GET /page HTTP/1.1\r\nHost: ..."
//
// A reply can also come late (delay), stall or close the connection after some of its bytes (cut_at), or
// be raw bytes. A request whose target is in absolute form ("GET http://host/path HTTP/1.1", as a proxy
// receives it) is routed by its path and flagged as proxied. Unrouted paths get a 404.
//
// Threads: the server accepts on a thread of its own and serves each connection on another. Every member
// function may be called from any thread. The destructor returns promptly even while a client hangs or a
// reply is being held back: it wakes and closes every connection, then joins the threads.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace vd::test {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string raw;  // every byte read for this request: request line, header lines, blank line, body
  std::string method;
  std::string target;  // as written in the request line (origin form or absolute form)
  std::string path;    // the target's path without scheme, authority, query and fragment
  std::string version;
  HeaderList headers;  // in their order, names and values as written (value without leading blanks)
  std::string body;
  bool proxied = false;  // the target was in absolute form

  // The header lines only, each with its CR LF, without the request line and the blank line.
  std::string header_block() const;
  // The names of the header lines, in their order.
  std::vector<std::string> header_names() const;
  // The value of the first header of that name (case ignored); nullopt when there is none.
  std::optional<std::string> header(std::string_view name) const;
  // How many header lines carry that name (case ignored).
  int header_count(std::string_view name) const;
};

struct HttpReply {
  int status = 200;
  std::string reason;                  // empty: the usual phrase of the status
  HeaderList headers;                  // written in this order after the status line
  std::string body;                    // may hold zero bytes
  bool content_length = true;          // add "Content-Length" unless the headers already hold one
  bool close_connection = false;       // add "Connection: close" and close after the reply
  std::chrono::milliseconds delay{0};  // wait before writing anything
  bool never_answer = false;           // read the request, then hold the connection open and write nothing
  // When set, only this many bytes of the composed reply go out; then the connection stalls (stays open
  // and silent) or, with close_after_cut, is closed.
  std::optional<std::size_t> cut_at;
  bool close_after_cut = false;
  std::string raw;  // when not empty, written instead of the composed reply (cut_at still applies)

  static HttpReply page(std::string body, std::string content_type = "text/html");
  static HttpReply not_found(std::string body = "not found");
  static HttpReply redirect(std::string location, int status = 302);
  static HttpReply silent();
  HttpReply& with_header(std::string name, std::string value);

  // The bytes this reply puts on the wire (before any cut).
  std::string wire_bytes() const;
};

using Handler = std::function<HttpReply(const HttpRequest&)>;

class HttpServer {
 public:
  // Binds 127.0.0.1 on a free port and starts serving. Aborts the test program if the socket cannot be
  // made (a test without its server cannot mean anything).
  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  int port() const { return port_; }
  // "127.0.0.1:PORT"
  std::string authority() const;
  // "http://127.0.0.1:PORT" followed by the path.
  std::string url(std::string_view path = "/") const;

  // Routes an exact path (query excluded) to a handler or to a fixed reply; a later route for the same
  // path replaces the earlier one.
  void on(std::string path, Handler handler);
  void on(std::string path, HttpReply reply);
  // Answers every path without a route (default: a 404 with a short body).
  void otherwise(Handler handler);
  // Answers the next requests in turn with these replies, whatever their path; routes apply once the
  // script has run out.
  void script(std::vector<HttpReply> replies);

  // Every request read so far, in the order they arrived.
  std::vector<HttpRequest> requests() const;
  std::size_t request_count() const;
  // Waits until at least n requests have arrived; false when the time ran out first.
  bool wait_for_requests(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
  void clear_requests();
  // Connections accepted so far (a client that connects and sends nothing counts too).
  std::size_t connection_count() const;

 private:
  struct Connection;

  void accept_loop();
  void serve(std::shared_ptr<Connection> connection);
  HttpReply answer(const HttpRequest& request);
  // Waits for the stop signal for at most the time given; true when the server is stopping.
  bool stopping_within(std::chrono::milliseconds time);

  int listen_fd_ = -1;
  int wake_read_fd_ = -1;
  int wake_write_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<std::string, Handler> routes_;
  Handler fallback_;
  std::vector<HttpReply> script_;
  std::size_t script_next_ = 0;
  std::vector<HttpRequest> requests_;
  std::size_t connections_ = 0;
  // Connection threads by number; a thread that is done puts its number in finished_, and the acceptor
  // joins those, so a long-running server does not pile up ended threads.
  std::map<std::uint64_t, std::thread> workers_;
  std::vector<std::uint64_t> finished_;
  std::uint64_t next_worker_ = 0;
  std::thread acceptor_;
};

}  // namespace vd::test
