// The page's entry into the engine: the task catalogue as the tool window shows it, and one
// call that applies a task to a score file the way ./run --score does. Everything the page
// shows comes from here; the page itself knows no task and no file rule.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "tasks.h"

using emscripten::val;

namespace {

// The sixteen tasks in the tool window's order, with its descriptions and direction captions.
val Tasks() {
  val list = val::array();
  for (int i = 0; i < TASKCOUNT; ++i) {
    const TaskDescriptor& task = TaskDescriptors[i];
    val row = val::object();
    row.set("name", std::string(task.name));
    row.set("description", std::string(task.description));
    row.set("hasDirection", task.showoptions);
    row.set("top", std::string(task.toplabel));
    row.set("bottom", std::string(task.bottomlabel));
    list.call<void>("push", row);
  }
  return list;
}

} // namespace

EMSCRIPTEN_BINDINGS(qvengine) {
  emscripten::function("tasks", &Tasks);
}
