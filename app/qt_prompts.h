#pragma once
// Message boxes and file pickers of the Qt shell, installed as the program's prompts.

#include <QPointer>
#include <QWidget>

#include "common/prompts.h"

namespace vistrela {

class QtPrompts final : public Prompts {
public:
    // Boxes without an owner of their own are centred on `parent` when it is set.
    void setParent(QWidget* parent) { parent_ = parent; }

    void notice(const std::string& caption, const std::string& text) override;
    void passingNotice(const std::string& caption, const std::string& text) override;
    std::string saveFileName(const std::string& title, const std::string& startDir,
                             const std::string& filter, const std::string& defaultSuffix) override;
    std::string folder(const std::string& title, const std::string& startDir) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace vistrela
