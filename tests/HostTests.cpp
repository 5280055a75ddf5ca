#include "PluginHost.h"

#include <gtest/gtest.h>

TEST (Explore, Dump)
{
    for (auto format : PluginHost::allFormats)
    {
        juce::String error;
        auto p = PluginHost::load (format, 44100, 512, error);
        ASSERT_NE (p, nullptr) << error;
        std::cout << "== " << PluginHost::getFormatName (format) << " name=" << p->getName() << " midiIn=" << p->acceptsMidi() << " midiOut=" << p->producesMidi()
                  << " tail=" << p->getTailLengthSeconds() << " programs=" << p->getNumPrograms() << " prog0='" << p->getProgramName (0) << "'" << std::endl;
        for (auto* param : p->getParameters())
        {
            auto* h = dynamic_cast<juce::HostedAudioProcessorParameter*> (param);
            std::cout << param->getParameterIndex() << " id=" << (h ? h->getParameterID() : juce::String()) << " name=" << param->getName (100) << " def=" << param->getDefaultValue()
                      << " val=" << param->getValue() << " text=" << param->getCurrentValueAsText() << " label='" << param->getLabel() << "' steps=" << param->getNumSteps() << std::endl;
        }
        auto layout = p->getBusesLayout();
        std::cout << "layout in=" << layout.getMainInputChannelSet().getDescription() << " out=" << layout.getMainOutputChannelSet().getDescription() << std::endl;
        for (auto set : { juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo(), juce::AudioChannelSet::discreteChannels (2) })
        {
            juce::AudioProcessor::BusesLayout l;
            l.inputBuses.add (set);
            l.outputBuses.add (set);
            std::cout << set.getDescription() << " supported=" << p->checkBusesLayoutSupported (l) << std::endl;
        }
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (juce::AudioChannelSet::mono());
        l.outputBuses.add (juce::AudioChannelSet::stereo());
        std::cout << "mono->stereo supported=" << p->checkBusesLayoutSupported (l) << std::endl;
        p->prepareToPlay (44100, 512);
        juce::AudioBuffer<float> b (2, 512);
        juce::MidiBuffer m;
        for (int i = 0; i < 3; ++i)
        {
            for (int j = 0; j < 512; ++j)
                b.setSample (0, j, 0.5f), b.setSample (1, j, 0.5f);
            p->processBlock (b, m);
        }
        std::cout << "out " << b.getSample (0, 0) << " " << b.getSample (1, 511) << std::endl;
        juce::MemoryBlock st;
        p->getStateInformation (st);
        std::cout << "state size " << st.getSize() << std::endl;
    }
}
