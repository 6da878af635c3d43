#include "common/SignalHandlers.h"

SignalHandlers::SignalHandlers(std::initializer_list<int> signalNumbers, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : signalNumbers) {
        struct sigaction previous {};
        sigaction(signalNumber, &action, &previous);
        previous_.emplace_back(signalNumber, previous);
    }
}

SignalHandlers::~SignalHandlers()
{
    for (const auto& [signalNumber, previous] : previous_)
        sigaction(signalNumber, &previous, nullptr);
}
