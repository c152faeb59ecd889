#pragma once
#include "core/fcbase.h"

// A measure's time signature as the measure record holds it: two 16-bit values, each with a
// flag byte that marks it as held elsewhere (a composite), in which case it is not written back.
class FCTimeSignature : public __FCBase {
public:
  FCTimeSignature(twobyte beats = 0, twobyte beatDuration = 0)
      : _beats(beats), _beatDuration(beatDuration), _compositeTop(0), _compositeBottom(0) {}
  const char* ClassName() override { return "FCTimeSignature"; }

  twobyte GetBeats() const { return _beats; }
  void SetBeats(twobyte beats) { _beats = beats; }
  twobyte GetBeatDuration() const { return _beatDuration; }
  void SetBeatDuration(twobyte duration) { _beatDuration = duration; }
  bool GetCompositeTop() const { return _compositeTop != 0; }
  void SetCompositeTop(bool state) { _compositeTop = state ? 1 : 0; }
  bool GetCompositeBottom() const { return _compositeBottom != 0; }
  void SetCompositeBottom(bool state) { _compositeBottom = state ? 1 : 0; }

private:
  twobyte _beats;           // first value: beats per measure
  twobyte _beatDuration;    // second value: duration of a beat
  uint8_t _compositeTop;    // set: the first value is not written to the record
  uint8_t _compositeBottom; // set: the second value is not written to the record
};
