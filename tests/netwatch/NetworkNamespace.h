#pragma once

#include <string>

// Moves the calling thread into a fresh, empty network namespace for the
// length of a test and back again afterwards. The namespace has no name, so
// it vanishes with its interfaces once the thread has left it, even when the
// test fails or the process dies.
class NetworkNamespace {
  public:
    NetworkNamespace();
    ~NetworkNamespace();
    NetworkNamespace(const NetworkNamespace&) = delete;
    NetworkNamespace& operator=(const NetworkNamespace&) = delete;

    // Why no namespace could be made; empty when the thread is inside one.
    const std::string& Problem() const { return problem_; }

    // Runs `ip <arguments>` inside the namespace; throws when it fails.
    static void Ip(const std::string& arguments);
    // Whether the interface is up and running (has carrier).
    static bool IsRunning(const std::string& interface);

  private:
    int original_ = -1;
    bool entered_ = false;
    std::string problem_;
};
