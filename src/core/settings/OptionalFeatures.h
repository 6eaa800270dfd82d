#pragma once
// The twelve feature bytes of the radio image as the Optional Features
// dialog shows them: which entry each drop-down list selects, the two check
// boxes and the transmit-delay text, and back.
//
// Lists are identified by their entries; an index of -1 means a list without
// a selection. Loading selects nothing where a byte matches no entry (the
// side key falls back to "Monitor Momentary"). Storing rewrites all twelve
// bytes, those of lists the dialog does not show included; a list without a
// selection stores the low byte of -1 (0xFF), or of 0 where the byte is the
// index plus one. The transmit delay is stored as its canonical form shows
// it, so a value beyond the radio's range is stored as Off. The caller owns
// the widgets and decides when to load and when to store.

#include "core/document/RadioImage.h"

#include <string>
#include <vector>

enum class FeatureList {
    TimeOutTime,       // "15s" ... "600s"
    SquelchLevel,      // "0" ... "9"
    PriorityChannel,   // Off, "1" ... "16"
    VoiceAnnunciation, // Off, Chinese, English
    VoxGainLevel,      // "1" ... "8"
    VoxDelayTime,      // "0.3s" ... "3.0s"
    SideKey,           // None, Monitor, Monitor Momentary, Power select
    Vox,               // On, Off
};

// The entries of a list, in order, in the running language.
std::vector<std::string> FeatureListItems(FeatureList list, bool chinese);

struct FeatureSettings
{
    int sideKey = -1;
    int voiceAnnunciation = -1;
    int timeOutTime = -1;
    int squelchLevel = -1;
    int vox = -1;
    int voxGainLevel = -1;
    int voxDelayTime = -1;
    int priorityChannel = -1;
    bool batterySaver = false;
    bool beep = false;
    std::string transmitDelay; // the text of the transmit-delay edit
};

// What the dialog shows for the image's feature bytes.
FeatureSettings LoadFeatureSettings(const RadioImage& image, bool chinese);

// Writes the twelve feature bytes from what the dialog shows; true when at
// least one byte changed.
bool StoreFeatureSettings(const FeatureSettings& settings, bool chinese, RadioImage& image);
