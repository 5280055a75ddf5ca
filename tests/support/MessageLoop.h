#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace juce
{
// The framework's single dispatch step on Linux; its own plug-in wrappers declare it the same way.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

/** Dispatches the message thread's events until the condition holds, giving up
    after a bound far beyond any expected wait. Returns the condition's last answer. */
inline bool dispatchMessagesUntil (const std::function<bool()>& condition, juce::uint32 giveUpAfterMilliseconds = 20000)
{
    const auto giveUpAt = juce::Time::getMillisecondCounter() + giveUpAfterMilliseconds;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > giveUpAt)
            return false;

        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }

    return true;
}

/** Dispatches every event already waiting on the message thread. */
inline void dispatchPendingMessages()
{
    while (juce::dispatchNextMessageOnSystemQueue (true))
    {
    }
}
