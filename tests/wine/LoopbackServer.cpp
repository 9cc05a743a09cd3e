#include "LoopbackServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <stdexcept>

namespace qvtest {
namespace {

constexpr DWORD kSocketTimeoutMs = 10000;  // bounds every wait on a stuck client
constexpr std::size_t kMaxRequestBytes = 64 * 1024;

class WinsockUser {
 public:
  WinsockUser() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  }
  ~WinsockUser() { WSACleanup(); }
  WinsockUser(const WinsockUser&) = delete;
  WinsockUser& operator=(const WinsockUser&) = delete;
};

// Owns a socket.
class Socket {
 public:
  explicit Socket(SOCKET s = INVALID_SOCKET) : s_(s) {}
  Socket(Socket&& other) noexcept : s_(other.s_) { other.s_ = INVALID_SOCKET; }
  Socket& operator=(Socket&&) = delete;
  ~Socket() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
  }
  SOCKET Get() const { return s_; }
  SOCKET Release() {
    const SOCKET s = s_;
    s_ = INVALID_SOCKET;
    return s;
  }

 private:
  SOCKET s_;
};

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

std::uint16_t BoundPort(SOCKET s) {
  sockaddr_in address{};
  int size = sizeof(address);
  if (getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

Socket BindLoopback() {
  Socket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (s.Get() == INVALID_SOCKET) throw std::runtime_error("socket failed");
  const sockaddr_in address = Loopback(0);
  if (bind(s.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    throw std::runtime_error("bind failed");
  }
  return s;
}

bool SendAll(SOCKET s, const char* data, std::size_t size) {
  while (size > 0) {
    const int part = size > 65536 ? 65536 : static_cast<int>(size);
    const int sent = send(s, data, part, 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

std::string ReadRequestHead(SOCKET s) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxRequestBytes) {
    const int got = recv(s, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  return head;
}

RecordedRequest ParseRequestLine(const std::string& head) {
  const std::string line = head.substr(0, head.find("\r\n"));
  const auto firstBlank = line.find(' ');
  const auto secondBlank = line.find(' ', firstBlank == std::string::npos ? line.size() : firstBlank + 1);
  RecordedRequest request;
  request.method = line.substr(0, firstBlank);
  if (firstBlank != std::string::npos) request.path = line.substr(firstBlank + 1, secondBlank - firstBlank - 1);
  return request;
}

// Lets the client read everything before the socket goes: a close with data
// still unread by us would reset the connection.
void FinishAndClose(Socket& client) {
  shutdown(client.Get(), SD_SEND);
  char buffer[4096];
  while (recv(client.Get(), buffer, sizeof(buffer), 0) > 0) {
  }
}

}  // namespace

LoopbackServer::LoopbackServer() {
  static WinsockUser winsock;  // for the life of the test program
  Socket listener = BindLoopback();
  if (listen(listener.Get(), SOMAXCONN) != 0) throw std::runtime_error("listen failed");
  port_ = BoundPort(listener.Get());
  listener_ = listener.Release();
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    released_ = true;
  }
  changed_.notify_all();
  // Wake the blocked accept with a connection of our own.
  {
    Socket waker(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    const sockaddr_in address = Loopback(port_);
    connect(waker.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  }
  acceptor_.join();
  closesocket(static_cast<SOCKET>(listener_));
  for (std::thread& connection : connections_) connection.join();
}

void LoopbackServer::Serve(std::string path, CannedResponse response) {
  std::lock_guard lock(mutex_);
  responses_[std::move(path)] = std::move(response);
}

std::wstring LoopbackServer::Url(std::string_view path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool LoopbackServer::WaitForRequests(std::size_t count, unsigned timeoutMs) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return requests_.size() >= count; });
}

void LoopbackServer::ReleaseHeld() {
  {
    std::lock_guard lock(mutex_);
    released_ = true;
  }
  changed_.notify_all();
}

std::uint16_t LoopbackServer::UnusedPort() {
  static WinsockUser winsock;
  const Socket probe = BindLoopback();
  return BoundPort(probe.Get());  // closed on return: nobody listens there
}

// Server thread: one connection thread per client.
void LoopbackServer::AcceptLoop() {
  for (;;) {
    const SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
    std::lock_guard lock(mutex_);
    if (stopping_ || client == INVALID_SOCKET) {
      if (client != INVALID_SOCKET) closesocket(client);
      if (stopping_) return;
      continue;
    }
    connections_.emplace_back([this, client] { Answer(client); });
  }
}

// Connection thread.
void LoopbackServer::Answer(std::uintptr_t rawClient) {
  Socket client(static_cast<SOCKET>(rawClient));
  const DWORD timeout = kSocketTimeoutMs;
  setsockopt(client.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
  setsockopt(client.Get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));

  const std::string head = ReadRequestHead(client.Get());
  if (head.empty()) return;
  const RecordedRequest request = ParseRequestLine(head);
  CannedResponse response{.statusLine = "HTTP/1.1 404 Not Found"};
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (const auto found = responses_.find(request.path); found != responses_.end()) response = found->second;
  }
  changed_.notify_all();
  if (response.hangUp) return;

  const std::uint64_t bodySize = response.body.size() + response.fillerBytes;
  std::string text = response.statusLine + "\r\n";
  for (const std::string& header : response.headers) text += header + "\r\n";
  if (response.sendContentLength) {
    text += "Content-Length: " + std::to_string(response.announcedLength.value_or(bodySize)) + "\r\n";
  }
  text += "Connection: close\r\n\r\n";
  if (!SendAll(client.Get(), text.data(), text.size())) return;
  if (response.holdBody) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return released_; });
  }
  if (!SendAll(client.Get(), response.body.data(), response.body.size())) return;
  const std::string filler(64 * 1024, 'x');
  for (std::uint64_t left = response.fillerBytes; left > 0;) {
    const std::size_t part = left < filler.size() ? static_cast<std::size_t>(left) : filler.size();
    if (!SendAll(client.Get(), filler.data(), part)) return;
    left -= part;
  }
  FinishAndClose(client);
}

}  // namespace qvtest
