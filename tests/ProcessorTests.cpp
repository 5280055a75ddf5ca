#include "TumblewispAudioProcessor.h"

#include <gtest/gtest.h>

TEST (Processor, Smoke)
{
    TumblewispAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "Tumblewisp");
}
