// The job's task records: the 501 job slots that keep each added file's
// input and output options, and the translation of the JobSettings into a
// task's output options.
#pragma once
#include <vector>
#include <string>

#include "app/JobModel.h"
#include "media/FFConverter.h"

// BuildJobOutputOptions: fills a record that the caller reset with
// InitOutputOptions from the JobSettings.
void BuildJobOutputOptions(const TJobSettings& job, media::TOutputOptions& out);

// A disc target decides the frame size, the frame rate, both bit rates and
// the sample rate itself; the values chosen in the combos would make VCD
// jobs fail and DVD/SVCD files off-standard, so they are dropped whenever a
// target is set. The rebuild of the tasks from the rows applies the same rule.
void ApplyTargetPrecedence(media::TOutputOptions& out);

// One of the 501 job slots.
struct TJobSlot {
  media::TInputOptions IO1;
  media::TOutputOptions OO1;
  std::string JobSlotState = "kong";  // "kong" free, "Full" used, "DELETED" its row was removed
};

class TJobSlots {
 public:
  static constexpr int kCount = 501;

  TJobSlots() { Button15Click(); }

  // Every slot becomes free; the records keep their contents until reused.
  void Button15Click();
  // Stores a job in the free slot with the lowest index; -1 when every slot
  // has been used since the last clear.
  int Store(const media::TInputOptions& in, const media::TOutputOptions& out);
  // The slot of a removed row is not given out again until the next clear.
  void Delete(int slot);
  TJobSlot& operator[](int slot) { return slots_.at(slot); }
  const TJobSlot& operator[](int slot) const { return slots_.at(slot); }

 private:
  std::vector<TJobSlot> slots_ = std::vector<TJobSlot>(kCount);
};
