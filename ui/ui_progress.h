#pragma once

#include <string>

// The window of a long job that blocks the program: what the job is doing,
// and a Cancel button that answers while the job runs.
class ui_progress {
 public:
  virtual ~ui_progress() = default;
  // Shows what the job is doing now.
  virtual void show_text(const std::string& text) = 0;
  // Whether the user asked to stop. Lets the window answer first, so a job
  // calls it often (between steps and while it waits).
  virtual bool cancelled() = 0;
};
