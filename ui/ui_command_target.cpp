#include "ui/ui_command_target.h"

bool ui_command_target::run_command(int id) {
  for (const entry& e : commands_) {
    if (id >= e.first && id <= e.last) {
      e.run(id);
      return true;
    }
  }
  return false;
}

bool ui_command_target::handles(int id) const {
  for (const entry& e : commands_)
    if (id >= e.first && id <= e.last) return true;
  return false;
}

bool ui_command_target::update_state(int id, ui_command_state& state) const {
  for (const entry& e : updates_) {
    if (id >= e.first && id <= e.last) {
      e.update(id, state);
      return true;
    }
  }
  return false;
}

void ui_command_target::on_command(int id, std::function<void()> run) {
  commands_.push_back({id, id, [run = std::move(run)](int) { run(); }, nullptr});
}

void ui_command_target::on_command_range(int first, int last, std::function<void(int)> run) {
  commands_.push_back({first, last, std::move(run), nullptr});
}

void ui_command_target::on_state(int id, std::function<void(ui_command_state&)> update) {
  updates_.push_back(
      {id, id, nullptr, [update = std::move(update)](int, ui_command_state& s) { update(s); }});
}

void ui_command_target::on_state_range(int first, int last,
                                       std::function<void(int, ui_command_state&)> update) {
  updates_.push_back({first, last, nullptr, std::move(update)});
}
