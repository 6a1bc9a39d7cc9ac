#pragma once

#include "platform/DurableLines.h"

#include <QString>

namespace zr::platform {

class QtDurableLines final : public DurableLines {
  public:
    explicit QtDurableLines(QString path) : path_(std::move(path)) {}

    std::optional<std::vector<std::string>> read() override;
    bool append(const std::string& line) override;
    bool replace(const std::vector<std::string>& lines) override;
    std::string where() const override { return path_.toStdString(); }

  private:
    QString path_;
};

} // namespace zr::platform
