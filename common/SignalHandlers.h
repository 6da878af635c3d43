#pragma once
// One handler for a few signals for as long as the object lives; the handlers it replaced come
// back when it goes. SA_RESTART, so a signal does not break a request's blocking calls.

#include <csignal>
#include <initializer_list>
#include <utility>
#include <vector>

class SignalHandlers {
public:
    SignalHandlers(std::initializer_list<int> signalNumbers, void (*handler)(int));
    ~SignalHandlers();
    SignalHandlers(const SignalHandlers&) = delete;
    SignalHandlers& operator=(const SignalHandlers&) = delete;

private:
    std::vector<std::pair<int, struct sigaction>> previous_;
};
