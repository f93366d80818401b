#pragma once
// Recordings an earlier run never took into a document (it ended while
// recording, or before the recording was in the sound), offered back at
// start-up.

#include <string>
#include <vector>

#include "wave/capture.h"

class TAppFrame;

// "A recording of 2 minutes 5 seconds from 14/03/2025, 10:42 was not saved.
// Recover it?"
std::string LostRecordingQuestion(const NSWave::TLostCapture& capture);

// Asks about each recording in turn: Yes opens it as a new untitled,
// modified document; No deletes it; "Later" keeps it for the next start.
// Returns the number of documents opened.
int OfferLostRecordings(TAppFrame& frame, const std::vector<NSWave::TLostCapture>& lost);
