// A tiny HTTP/1.1 server on 127.0.0.1 for the Windows tests: canned answers
// per path, a record of every request. Runs on threads of its own; every
// connection is answered once and closed.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qvtest {

struct CannedResponse {
  std::string statusLine = "HTTP/1.1 200 OK";  // without CR LF
  std::vector<std::string> headers = {};       // "Name: value", without CR LF
  std::string body = {};
  std::uint64_t fillerBytes = 0;                // that many 'x' bytes after `body`
  bool sendContentLength = true;                // false: the body ends with the connection
  std::optional<std::uint64_t> announcedLength = {};  // Content-Length to claim instead of the true size
  bool hangUp = false;                          // read the request, close without answering
  bool holdBody = false;                        // send status and headers, then wait for ReleaseHeld()
};

struct RecordedRequest {
  std::string method;
  std::string path;
  bool operator==(const RecordedRequest&) const = default;
};

class LoopbackServer {
 public:
  LoopbackServer();   // listening once constructed; throws when it cannot
  ~LoopbackServer();  // stops, releases held answers, joins its threads
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // The answer for a path (request target, query included); others get 404.
  void Serve(std::string path, CannedResponse response);
  std::uint16_t Port() const { return port_; }
  std::wstring Url(std::string_view path) const;

  std::vector<RecordedRequest> Requests() const;
  bool WaitForRequests(std::size_t count, unsigned timeoutMs) const;
  void ReleaseHeld();

  // A port on 127.0.0.1 with no listener, for "connection refused".
  static std::uint16_t UnusedPort();

 private:
  void AcceptLoop();
  void Answer(std::uintptr_t client);

  std::uintptr_t listener_;
  std::uint16_t port_ = 0;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<std::string, CannedResponse> responses_;
  std::vector<RecordedRequest> requests_;
  bool released_ = false;
  bool stopping_ = false;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace qvtest
