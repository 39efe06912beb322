// An HTTP server on the loopback address for the tests of network code:
// started by a test, serving what the test gives it, stopped with it.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brennic::test {

struct TReply {
    enum EMode { Send, CutOff, Stall } Mode = Send;
    int Status = 200;
    std::string Body;
    std::string ContentType = "text/csv";
    std::string ContentEncoding;  // "gzip": the body is sent as it is, so compressed
};

class TLoopbackServer {
public:
    using THandler = std::function<TReply(const std::string& requestLine)>;

    explicit TLoopbackServer(THandler handler) : handler_(std::move(handler))
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        ::listen(listen_, 8);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<std::string> Requests() const
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    // A loopback port where nothing listens.
    static int ClosedPort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
        ::close(s);
        return ntohs(a.sin_port);
    }

private:
    bool Wait(int fd) const
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 50) > 0;
    }

    void Serve()
    {
        while (!stop_) {
            if (!Wait(listen_))
                continue;
            const int c = ::accept(listen_, nullptr, nullptr);
            if (c < 0)
                continue;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
                if (!Wait(c))
                    continue;
                const ssize_t n = ::read(c, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                request.append(buffer, std::size_t(n));
            }
            const std::string line = request.substr(0, request.find("\r\n"));
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(line);
            }
            Answer(c, handler_(line));
            ::close(c);
        }
    }

    void Answer(int c, const TReply& r)
    {
        if (r.Mode == TReply::Stall) {
            while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return;
        }
        const std::size_t length = r.Body.size() + (r.Mode == TReply::CutOff ? 1000 : 0);
        const std::string head = "HTTP/1.1 " + std::to_string(r.Status) + " Status\r\nContent-Type: " + r.ContentType +
                                 (r.ContentEncoding.empty() ? "" : "\r\nContent-Encoding: " + r.ContentEncoding) +
                                 "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
        const std::string all = head + r.Body;
        std::size_t sent = 0;
        while (sent < all.size()) {
            const ssize_t n = ::send(c, all.data() + sent, all.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += std::size_t(n);
        }
    }

    THandler handler_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
};

}  // namespace brennic::test
