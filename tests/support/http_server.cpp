#include "tests/support/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vd::test {

namespace {

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "HttpServer: %s: %s\n", what, std::strerror(errno));
  std::abort();
}

std::string reason_phrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 308:
      return "Permanent Redirect";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

void set_nonblocking(int fd) {
  int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) fail("fcntl");
}

enum class Wait { ready, timed_out, stopping, failed };

// Waits until fd is ready for the events or the wake descriptor becomes readable (the server stops).
Wait wait_for(int fd, short events, int wake_fd, int timeout_ms) {
  pollfd fds[2] = {{fd, events, 0}, {wake_fd, POLLIN, 0}};
  for (;;) {
    int n = ::poll(fds, 2, timeout_ms);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Wait::failed;
    }
    if (n == 0) return Wait::timed_out;
    if (fds[1].revents != 0) return Wait::stopping;
    return Wait::ready;
  }
}

// Parses the request line and header lines of head (which ends before the blank line).
bool parse_head(std::string_view head, HttpRequest& request) {
  std::size_t line_end = head.find("\r\n");
  std::string_view line = head.substr(0, line_end);
  std::size_t sp1 = line.find(' ');
  std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp2 == std::string_view::npos) return false;
  request.method = std::string(line.substr(0, sp1));
  request.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
  request.version = std::string(line.substr(sp2 + 1));

  std::string_view target = request.target;
  if (target.starts_with("http://") || target.starts_with("https://")) {
    request.proxied = true;
    std::size_t authority = target.find("://") + 3;
    std::size_t slash = target.find('/', authority);
    target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
  }
  request.path = std::string(target.substr(0, target.find_first_of("?#")));

  while (line_end != std::string_view::npos) {
    std::size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    line = head.substr(start, line_end == std::string_view::npos ? std::string_view::npos : line_end - start);
    if (line.empty()) continue;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    request.headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
  }
  return true;
}

}  // namespace

std::string HttpRequest::header_block() const {
  std::size_t first = raw.find("\r\n");
  std::size_t blank = raw.find("\r\n\r\n");
  if (first == std::string::npos || blank == std::string::npos || blank < first) return {};
  return raw.substr(first + 2, blank + 2 - (first + 2));
}

std::vector<std::string> HttpRequest::header_names() const {
  std::vector<std::string> names;
  for (const auto& [name, value] : headers) names.push_back(name);
  return names;
}

std::optional<std::string> HttpRequest::header(std::string_view name) const {
  for (const auto& [n, value] : headers)
    if (same_name(n, name)) return value;
  return std::nullopt;
}

int HttpRequest::header_count(std::string_view name) const {
  int count = 0;
  for (const auto& [n, value] : headers)
    if (same_name(n, name)) ++count;
  return count;
}

HttpReply HttpReply::page(std::string body, std::string content_type) {
  HttpReply reply;
  reply.body = std::move(body);
  reply.headers.emplace_back("Content-Type", std::move(content_type));
  return reply;
}

HttpReply HttpReply::not_found(std::string body) {
  HttpReply reply = page(std::move(body));
  reply.status = 404;
  return reply;
}

HttpReply HttpReply::redirect(std::string location, int status) {
  HttpReply reply = page("moved");
  reply.status = status;
  reply.headers.emplace_back("Location", std::move(location));
  return reply;
}

HttpReply HttpReply::silent() {
  HttpReply reply;
  reply.never_answer = true;
  return reply;
}

HttpReply& HttpReply::with_header(std::string name, std::string value) {
  headers.emplace_back(std::move(name), std::move(value));
  return *this;
}

std::string HttpReply::wire_bytes() const {
  if (!raw.empty()) return raw;
  std::string out =
      "HTTP/1.1 " + std::to_string(status) + " " + (reason.empty() ? reason_phrase(status) : reason) + "\r\n";
  bool has_length = false;
  for (const auto& [name, value] : headers) {
    if (same_name(name, "Content-Length")) has_length = true;
    out += name + ": " + value + "\r\n";
  }
  if (content_length && !has_length) out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  if (close_connection) out += "Connection: close\r\n";
  out += "\r\n";
  out += body;
  return out;
}

struct HttpServer::Connection {
  explicit Connection(int descriptor) : fd(descriptor) {}
  ~Connection() {
    if (fd >= 0) ::close(fd);
  }
  int fd;
};

HttpServer::HttpServer() {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) fail("pipe");
  wake_read_fd_ = pipe_fds[0];
  wake_write_fd_ = pipe_fds[1];

  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) fail("socket");
  int one = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fail("bind");
  if (::listen(listen_fd_, 64) != 0) fail("listen");
  socklen_t length = sizeof address;
  if (::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) fail("getsockname");
  port_ = ntohs(address.sin_port);
  set_nonblocking(listen_fd_);
  acceptor_ = std::thread([this] { accept_loop(); });
}

HttpServer::~HttpServer() {
  stopping_ = true;
  char byte = 1;
  while (::write(wake_write_fd_, &byte, 1) < 0 && errno == EINTR) {
  }
  changed_.notify_all();
  acceptor_.join();
  std::map<std::uint64_t, std::thread> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (auto& [number, worker] : workers) worker.join();
  ::close(listen_fd_);
  ::close(wake_read_fd_);
  ::close(wake_write_fd_);
}

std::string HttpServer::authority() const { return "127.0.0.1:" + std::to_string(port_); }

std::string HttpServer::url(std::string_view path) const {
  return "http://" + authority() + std::string(path);
}

void HttpServer::on(std::string path, Handler handler) {
  std::lock_guard lock(mutex_);
  routes_[std::move(path)] = std::move(handler);
}

void HttpServer::on(std::string path, HttpReply reply) {
  on(std::move(path), [reply = std::move(reply)](const HttpRequest&) { return reply; });
}

void HttpServer::otherwise(Handler handler) {
  std::lock_guard lock(mutex_);
  fallback_ = std::move(handler);
}

void HttpServer::script(std::vector<HttpReply> replies) {
  std::lock_guard lock(mutex_);
  script_ = std::move(replies);
  script_next_ = 0;
}

std::vector<HttpRequest> HttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t HttpServer::request_count() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

bool HttpServer::wait_for_requests(std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= n; });
}

void HttpServer::clear_requests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

std::size_t HttpServer::connection_count() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool HttpServer::stopping_within(std::chrono::milliseconds time) {
  pollfd fd{wake_read_fd_, POLLIN, 0};
  auto deadline = std::chrono::steady_clock::now() + time;
  for (;;) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return stopping_;
    int n = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (n > 0) return true;
    if (n < 0 && errno != EINTR) return stopping_;
  }
}

void HttpServer::accept_loop() {
  for (;;) {
    Wait w = wait_for(listen_fd_, POLLIN, wake_read_fd_, -1);
    if (w == Wait::stopping || w == Wait::failed) return;
    int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) continue;
    auto connection = std::make_shared<Connection>(fd);
    std::vector<std::thread> ended;
    std::lock_guard lock(mutex_);
    ++connections_;
    for (std::uint64_t number : finished_) {
      auto worker = workers_.find(number);
      if (worker == workers_.end()) continue;
      ended.push_back(std::move(worker->second));
      workers_.erase(worker);
    }
    finished_.clear();
    // The ended threads have left serve() and only return; joining them is immediate.
    for (std::thread& worker : ended) worker.join();
    const std::uint64_t number = next_worker_++;
    workers_.emplace(number, std::thread([this, connection, number] {
                       serve(connection);
                       std::lock_guard done(mutex_);
                       finished_.push_back(number);
                     }));
  }
}

HttpReply HttpServer::answer(const HttpRequest& request) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    if (script_next_ < script_.size()) return script_[script_next_++];
    auto route = routes_.find(request.path);
    if (route != routes_.end())
      handler = route->second;
    else
      handler = fallback_;
  }
  if (!handler) return HttpReply::not_found();
  return handler(request);
}

void HttpServer::serve(std::shared_ptr<Connection> connection) {
  const int fd = connection->fd;
  std::string buffer;
  char chunk[16384];

  // Reads more bytes into buffer; false when the client closed, the read failed or the server stops.
  auto read_more = [&]() -> bool {
    for (;;) {
      Wait w = wait_for(fd, POLLIN, wake_read_fd_, -1);
      if (w != Wait::ready) return false;
      ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
      if (n > 0) {
        buffer.append(chunk, static_cast<std::size_t>(n));
        return true;
      }
      if (n == 0) return false;
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    }
  };
  // Writes all bytes; false when the client went away or the server stops.
  auto write_all = [&](std::string_view bytes) -> bool {
    while (!bytes.empty()) {
      ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        if (wait_for(fd, POLLOUT, wake_read_fd_, -1) != Wait::ready) return false;
        continue;
      }
      return false;
    }
    return true;
  };
  // Holds the connection open and silent until the client closes it or the server stops.
  auto hold = [&] {
    buffer.clear();
    while (read_more()) buffer.clear();
  };

  for (;;) {
    std::size_t blank;
    while ((blank = buffer.find("\r\n\r\n")) == std::string::npos)
      if (!read_more()) return;

    HttpRequest request;
    if (!parse_head(std::string_view(buffer).substr(0, blank), request)) return;
    std::size_t body_length = 0;
    if (auto length = request.header("Content-Length"))
      body_length = std::strtoull(length->c_str(), nullptr, 10);
    std::size_t total = blank + 4 + body_length;
    while (buffer.size() < total)
      if (!read_more()) return;
    request.raw = buffer.substr(0, total);
    request.body = buffer.substr(blank + 4, body_length);
    buffer.erase(0, total);

    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    changed_.notify_all();

    HttpReply reply = answer(request);
    if (reply.delay.count() > 0 && stopping_within(reply.delay)) return;
    if (reply.never_answer) return hold();

    std::string bytes = reply.wire_bytes();
    if (reply.cut_at && *reply.cut_at < bytes.size()) {
      if (!write_all(std::string_view(bytes).substr(0, *reply.cut_at))) return;
      if (reply.close_after_cut) return;
      return hold();
    }
    if (!write_all(bytes)) return;
    if (reply.close_connection) return;
    if (auto c = request.header("Connection"); c && same_name(*c, "close")) return;
  }
}

}  // namespace vd::test
