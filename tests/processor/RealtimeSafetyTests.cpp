#include "processor/TumblewispAudioProcessor.h"
#include "support/BusLayout.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <cstdlib>
#include <new>
#include <random>

// This binary replaces the global allocation functions and interposes pthread_mutex_lock,
// counting the calls made on a thread while that thread is being watched.

namespace
{
thread_local bool watched = false;
thread_local int allocations = 0;
thread_local int locks = 0;

void* allocate (std::size_t size)
{
    if (watched)
        ++allocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (watched)
        ++allocations;

    const auto align = std::max ((std::size_t) alignment, sizeof (void*));

    if (auto* p = std::aligned_alloc (align, (size + align - 1) / align * align))
        return p;

    throw std::bad_alloc();
}

/** Counts what the calling thread allocates and locks while it lives. */
struct Watch
{
    Watch()
    {
        allocations = 0;
        locks = 0;
        watched = true;
    }

    ~Watch() { watched = false; }
};
} // namespace

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t alignment) { return allocateAligned (size, alignment); }
void* operator new[] (std::size_t size, std::align_val_t alignment) { return allocateAligned (size, alignment); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }

extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    using Lock = int (*) (pthread_mutex_t*);
    static const auto next = reinterpret_cast<Lock> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));

    if (watched)
        ++locks;

    return next (mutex);
}

TEST (RealtimeSafety, TheWatchSeesAllocationsAndLocks)
{
    juce::CriticalSection lock;
    Watch watch;

    {
        const juce::ScopedLock scope (lock);
        auto block = std::make_unique<char[]> (100);
        juce::ignoreUnused (block);
    }

    EXPECT_EQ (allocations, 1);
    EXPECT_EQ (locks, 1);
}

TEST (RealtimeSafety, ProcessBlockNeitherAllocatesNorLocks)
{
    for (const auto& set : { juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo() })
    {
        SCOPED_TRACE (set.getDescription());
        TumblewispAudioProcessor processor;
        ASSERT_TRUE (processor.setBusesLayout (makeLayout ({ set }, { set })));
        processor.prepareToPlay (48000.0, 4096);

        const auto channels = set.size();
        juce::AudioBuffer<float> storage (channels, 4096);
        juce::MidiBuffer midi;
        std::mt19937 random (10);
        std::uniform_real_distribution<float> sample (-1.0f, 1.0f);
        std::uniform_real_distribution<float> normalised (0.0f, 1.0f);
        const int blockSizes[] { 1, 7, 64, 333, 4096, 0, 512 };

        for (int round = 0; round < 300; ++round)
        {
            // Parameter changes come from elsewhere; only the block itself is watched.
            for (auto* parameter : processor.getParameters())
                parameter->setValueNotifyingHost (normalised (random));

            const auto length = blockSizes[(size_t) round % std::size (blockSizes)];
            juce::AudioBuffer<float> block (storage.getArrayOfWritePointers(), channels, length);

            for (int channel = 0; channel < channels; ++channel)
                for (int i = 0; i < length; ++i)
                    block.setSample (channel, i, sample (random));

            {
                Watch watch;
                processor.processBlock (block, midi);
                ASSERT_EQ (allocations, 0) << "block " << round;
                ASSERT_EQ (locks, 0) << "block " << round;
            }
        }
    }
}
