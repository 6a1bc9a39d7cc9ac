#pragma once

#include "app/script/ScriptConsole.h"
#include "protocol/ProgrammerLink.h"
#include "station/Station.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace zr::app {

// Runs a station without a window from a script of operator actions, one line at a time:
//   set NAME [VALUE]   click NAME   dblclick NAME   type NAME TEXT   leave NAME
//   answer [TEXT]      wait MS      dump NAME[.Property] ...         exit
// Each line runs after the procedures of the line before have returned.
class ScriptDriver {
  public:
    static constexpr int kExitScriptError = 2;

    // `link` is the station's conversation with the programmer (currentCommand, retryCount).
    ScriptDriver(station::Station& station, protocol::ProgrammerLink& link, ScriptConsole& console,
                 std::ostream& out, std::ostream& errors)
        : station_(station), link_(link), console_(console), out_(out), errors_(errors) {}

    // Runs the script to its end or to `exit`; the process exit code.
    int run(std::istream& script);

  private:
    // An error message, or nothing when the line ran.
    std::optional<std::string> runLine(const std::string& line);
    std::optional<std::string> set(const std::string& name, const std::string& value);
    std::optional<std::string> type(const std::string& name, const std::string& text);
    std::optional<std::string> wait(const std::string& argument);
    std::optional<std::string> dump(const std::string& names);
    std::optional<std::string> dumpOne(const std::string& token);
    std::optional<std::string> fieldValue(const std::string& name) const;

    station::Station& station_;
    protocol::ProgrammerLink& link_;
    ScriptConsole& console_;
    std::ostream& out_;
    std::ostream& errors_;
};

} // namespace zr::app
