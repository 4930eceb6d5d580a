#pragma once

#include <functional>
#include <vector>

// How a command looks in a menu: enabled and, for some, checked.
struct ui_command_state {
  bool enabled = true;
  bool checked = false;
};

// Something that handles commands by their numeric ids: the application, the
// main frame, child frames, documents and views each keep a table of the
// commands they handle and of how those commands look.
class ui_command_target {
 public:
  virtual ~ui_command_target() = default;

  // Runs the command when this target handles it; false when it does not.
  bool run_command(int id);

  // True when this target handles the command.
  bool handles(int id) const;

  // True when this target decides how the command looks, with state filled.
  bool update_state(int id, ui_command_state& state) const;

 protected:
  void on_command(int id, std::function<void()> run);
  void on_command_range(int first, int last, std::function<void(int id)> run);
  void on_state(int id, std::function<void(ui_command_state&)> update);
  void on_state_range(int first, int last, std::function<void(int id, ui_command_state&)> update);

 private:
  struct entry {
    int first;
    int last;
    std::function<void(int)> run;
    std::function<void(int, ui_command_state&)> update;
  };
  std::vector<entry> commands_;
  std::vector<entry> updates_;
};
