#include "window/qt/ControlBindings.h"

#include "window/qt/ButtonFactory.h"
#include "window/qt/ControlColours.h"
#include "window/qt/TextFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <algorithm>

namespace zr::window::qt {
namespace {

// The character code a key press raises, as the station's key filters take it: 8 for
// Backspace, 13 for Enter, else the typed character; -1 for keys that type nothing and for
// Tab, which moves the focus on (a filter that takes digits only would swallow it).
int keyAscii(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) {
        return -1;
    }
    if (key.key() == Qt::Key_Backspace) {
        return 8;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        return 13;
    }
    const QString text = key.text();
    if (text.isEmpty()) {
        return -1;
    }
    return static_cast<int>(text.at(0).unicode());
}

class LabelBinding final : public ControlBinding {
  public:
    LabelBinding(station::Label& label, QLabel* widget, const Place& place, BindingHost& host)
        : ControlBinding(label, widget, place, host), label_(label), widget_(widget) {
        widget_->setAutoFillBackground(true);
        widget_->setWordWrap(true);
        widget_->setAlignment(place.height > 400 && place.font == FontKind::Normal
                                  ? Qt::AlignLeft | Qt::AlignTop
                                  : Qt::AlignLeft | Qt::AlignVCenter);
        if (place.font == FontKind::Message) {
            // The message lines keep their text off the bar's edges.
            widget_->setContentsMargins(6, 3, 6, 3);
        }
        const bool indicator = label.name() == "lblV1Status" || label.name() == "lblV2Status";
        if (indicator) {
            widget_->setFrameShape(QFrame::Box);
            widget_->setAlignment(Qt::AlignCenter);
        }
    }

    void sync() override {
        ControlBinding::sync();
        // Measured only when the text or the box changed: an idle pass stays a comparison.
        const QString caption = displayText(label_.caption);
        if (caption != shownCaption_ || widget_->size() != shownSize_) {
            showWhole(*widget_, caption);
            shownCaption_ = caption;
            shownSize_ = widget_->size();
        }
        setColour(widget_, QPalette::WindowText, label_.foreColor);
        setColour(widget_, QPalette::Window, label_.backColor);
    }

  protected:
    std::string ownCaption() const override { return label_.caption; }

  private:
    station::Label& label_;
    QLabel* widget_;
    QString shownCaption_;
    QSize shownSize_;
};

class ButtonBinding final : public ControlBinding {
  public:
    ButtonBinding(station::Button& button, std::unique_ptr<ButtonView> view, const Place& place,
                  BindingHost& host)
        : ControlBinding(button, view->widget(), place, host), button_(button),
          view_(std::move(view)) {}

    void sync() override {
        ControlBinding::sync();
        view_->show(button_);
    }

  protected:
    std::string ownCaption() const override { return button_.caption; }

  private:
    station::Button& button_;
    std::unique_ptr<ButtonView> view_;
};

class TextBinding final : public ControlBinding {
  public:
    TextBinding(station::TextBox& box, QLineEdit* widget, const Place& place, BindingHost& host)
        : ControlBinding(box, widget, place, host), box_(box), widget_(widget) {
        const bool centred = place.font == FontKind::CardNumber || box.maxLength == 2 ||
                             place.buddy.starts_with("cmd");
        widget_->setAlignment(centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        QObject::connect(widget_, &QLineEdit::textEdited, this, [this](const QString& text) {
            raise([this, &text] { box_.setText(text.toStdString()); });
        });
    }

    void sync() override {
        ControlBinding::sync();
        const int maxLength = box_.maxLength > 0 ? box_.maxLength : 32767;
        if (widget_->maxLength() != maxLength) {
            widget_->setMaxLength(maxLength);
        }
        const QString text = QString::fromStdString(box_.text());
        if (widget_->text() != text) {
            const QSignalBlocker quiet(widget_);
            widget_->setText(text);
        }
        setColour(widget_, QPalette::Text, box_.foreColor);
        setColour(widget_, QPalette::Base, box_.backColor);
    }

  protected:
    // The key press runs the box's key filter first, as typing does in a script: a
    // discarded key never reaches the box, a changed one is typed in its changed form.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::KeyPress && box_.onKeyPress) {
            const int code = keyAscii(*static_cast<QKeyEvent*>(event));
            if (code >= 0) {
                int accepted = 0;
                raise([this, code, &accepted] { accepted = box_.onKeyPress(code); });
                if (accepted == 0) {
                    return true;
                }
                if (accepted != code) {
                    widget_->insert(QString(QChar(accepted)));
                    raise([this] { box_.setText(widget_->text().toStdString()); });
                    return true;
                }
            }
        }
        return ControlBinding::eventFilter(watched, event);
    }

  private:
    station::TextBox& box_;
    QLineEdit* widget_;
};

// The traffic view: a multi-line text box the station writes and the operator reads.
class TrafficBinding final : public ControlBinding {
  public:
    TrafficBinding(station::TextBox& box, QPlainTextEdit* widget, const Place& place,
                   BindingHost& host)
        : ControlBinding(box, widget, place, host), box_(box), widget_(widget) {
        widget_->setReadOnly(true);
        widget_->setLineWrapMode(QPlainTextEdit::NoWrap);
        watch(widget_->viewport());
    }

    void sync() override {
        ControlBinding::sync();
        // The view grows with every reply; comparing the station's text with the text last
        // shown is a memory compare, where reading the view back would rebuild it each pass.
        if (box_.text() != lastShown_) {
            lastShown_ = box_.text();
            widget_->setPlainText(displayText(lastShown_));
        }
        setColour(widget_, QPalette::Text, box_.foreColor);
        setColour(widget_, QPalette::Base, box_.backColor);
    }

  private:
    station::TextBox& box_;
    QPlainTextEdit* widget_;
    std::string lastShown_;
};

class CheckBinding final : public ControlBinding {
  public:
    CheckBinding(station::CheckBox& box, QCheckBox* widget, const Place& place, BindingHost& host)
        : ControlBinding(box, widget, place, host), box_(box), widget_(widget) {
        // A button fills with its button colour; the check box's back colour is its own.
        widget_->setBackgroundRole(QPalette::Window);
        widget_->setAutoFillBackground(true);
        QObject::connect(widget_, &QCheckBox::clicked, this, [this](bool checked) {
            raise([this, checked] { box_.setValue(checked ? 1 : 0); });
        });
    }

    void sync() override {
        ControlBinding::sync();
        const Qt::CheckState state = box_.value() == 0   ? Qt::Unchecked
                                     : box_.value() == 1 ? Qt::Checked
                                                         : Qt::PartiallyChecked;
        if (widget_->checkState() != state) {
            const QSignalBlocker quiet(widget_);
            widget_->setCheckState(state);
        }
        const QString caption = displayText(box_.caption);
        if (widget_->text() != caption) {
            widget_->setText(caption);
        }
        // A caption stays readable on the dark option rows.
        setColour(widget_, QPalette::WindowText,
                  isDark(box_.backColor) ? 0xFFFFFFU : box_.foreColor);
        setColour(widget_, QPalette::Window, box_.backColor);
    }

  protected:
    std::string ownCaption() const override { return box_.caption; }

  private:
    station::CheckBox& box_;
    QCheckBox* widget_;
};

class ComboBinding final : public ControlBinding {
  public:
    ComboBinding(station::ComboBox& combo, QComboBox* widget, const Place& place, BindingHost& host)
        : ControlBinding(combo, widget, place, host), combo_(combo), widget_(widget) {
        widget_->setEditable(combo.freeText);
        // Enter in the text of a free-text combo keeps the rows the station made.
        widget_->setInsertPolicy(QComboBox::NoInsert);
        widget_->setMaxVisibleItems(16);
        QObject::connect(widget_, &QComboBox::activated, this, [this](int index) {
            raise([this, index] { combo_.setListIndex(index); });
        });
        if (QLineEdit* edit = widget_->lineEdit()) {
            watch(edit);
            QObject::connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
                raise([this, &text] { combo_.text = text.toStdString(); });
            });
        }
    }

    void sync() override {
        ControlBinding::sync();
        const QSignalBlocker quiet(widget_);
        if (!sameItems()) {
            widget_->clear();
            for (const auto& item : combo_.items()) {
                widget_->addItem(QString::fromStdString(item));
            }
        }
        if (widget_->currentIndex() != combo_.listIndex()) {
            widget_->setCurrentIndex(combo_.listIndex());
        }
        if (QLineEdit* edit = widget_->lineEdit()) {
            const QString text = QString::fromStdString(combo_.text);
            if (edit->text() != text) {
                const QSignalBlocker quietEdit(edit);
                edit->setText(text);
            }
        }
    }

  private:
    bool sameItems() const {
        const auto& items = combo_.items();
        if (widget_->count() != static_cast<int>(items.size())) {
            return false;
        }
        for (int i = 0; i < widget_->count(); ++i) {
            if (widget_->itemText(i) !=
                QString::fromStdString(items[static_cast<std::size_t>(i)])) {
                return false;
            }
        }
        return true;
    }

    station::ComboBox& combo_;
    QComboBox* widget_;
};

class ScrollBinding final : public ControlBinding {
  public:
    ScrollBinding(station::ScrollBar& bar, QScrollBar* widget, const Place& place,
                  BindingHost& host)
        : ControlBinding(bar, widget, place, host), bar_(bar), widget_(widget) {
        QObject::connect(widget_, &QScrollBar::valueChanged, this,
                         [this](int value) { raise([this, value] { bar_.setValue(value); }); });
    }

    void sync() override {
        ControlBinding::sync();
        const QSignalBlocker quiet(widget_);
        if (widget_->minimum() != bar_.min || widget_->maximum() != bar_.max) {
            widget_->setRange(bar_.min, bar_.max);
        }
        if (widget_->singleStep() != bar_.smallChange) {
            widget_->setSingleStep(bar_.smallChange);
        }
        if (widget_->pageStep() != bar_.largeChange) {
            widget_->setPageStep(bar_.largeChange);
        }
        if (widget_->value() != bar_.value()) {
            widget_->setValue(bar_.value());
        }
    }

  private:
    station::ScrollBar& bar_;
    QScrollBar* widget_;
};

// The run's bar: the station sets its range, value and the text written on it.
class ProgressBinding final : public ControlBinding {
  public:
    ProgressBinding(station::ProgressBar& bar, QProgressBar* widget, const Place& place,
                    BindingHost& host)
        : ControlBinding(bar, widget, place, host), bar_(bar), widget_(widget) {
        widget_->setTextVisible(true);
        widget_->setAlignment(Qt::AlignCenter);
    }

    void sync() override {
        ControlBinding::sync();
        const int maximum = std::max(bar_.minimum, bar_.maximum);
        if (widget_->minimum() != bar_.minimum || widget_->maximum() != maximum) {
            widget_->setRange(bar_.minimum, maximum);
        }
        const int value = std::clamp(bar_.value, bar_.minimum, maximum);
        if (widget_->value() != value) {
            widget_->setValue(value);
        }
        const QString text = QString::fromStdString(bar_.text);
        if (widget_->format() != text) {
            widget_->setFormat(text);
        }
    }

  private:
    station::ProgressBar& bar_;
    QProgressBar* widget_;
};

} // namespace

ControlBinding::ControlBinding(station::Control& control, QWidget* widget, const Place& place,
                               BindingHost& host)
    : control_(control), widget_(widget), place_(place), host_(host) {
    widget_->setObjectName(QString::fromStdString(control.name()));
    watch(widget_);
}

void ControlBinding::watch(QObject* target) {
    target->installEventFilter(this);
}

void ControlBinding::sync() {
    if (widget_->isEnabled() != control_.enabled) {
        widget_->setEnabled(control_.enabled);
    }
    const bool shown = control_.visible && host_.fitsWindow(*widget_);
    if (widget_->isHidden() == shown) {
        widget_->setVisible(shown);
    }
    std::string name = ownCaption();
    if (name.empty() && !place_.buddy.empty()) {
        name = host_.captionOf(place_.buddy);
    }
    if (name.empty()) {
        name = place_.description.empty() ? control_.name() : place_.description;
    }
    const QString accessible = displayText(name);
    if (widget_->accessibleName() != accessible) {
        widget_->setAccessibleName(accessible);
    }
}

bool ControlBinding::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        raise([this] { control_.dblClick(); });
        break;
    case QEvent::FocusIn:
        host_.focusEntered(control_);
        break;
    case QEvent::FocusOut: {
        // Leaving the window or opening a list is no move to another control.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
            reason == Qt::MenuBarFocusReason) {
            break;
        }
        // Raised once the focus has arrived at the next control, as a posted event, so the
        // procedure sees the station with the new control focused.
        QMetaObject::invokeMethod(
            this, [this] { raise([this] { control_.lostFocus(); }); }, Qt::QueuedConnection);
        break;
    }
    default:
        break;
    }
    return false;
}

std::unique_ptr<ControlBinding> bindControl(station::Control& control, const Place& place,
                                            QWidget* parent, BindingHost& host) {
    if (auto* button = dynamic_cast<station::Button*>(&control)) {
        // The click goes through the window like every operator event, so its effects show.
        auto view = makeButton(*button, parent, [button, &host] {
            button->click();
            host.afterEvent();
        });
        return std::make_unique<ButtonBinding>(*button, std::move(view), place, host);
    }
    if (auto* label = dynamic_cast<station::Label*>(&control)) {
        return std::make_unique<LabelBinding>(*label, new QLabel(parent), place, host);
    }
    if (auto* box = dynamic_cast<station::TextBox*>(&control)) {
        if (place.font == FontKind::Traffic) {
            return std::make_unique<TrafficBinding>(*box, new QPlainTextEdit(parent), place, host);
        }
        return std::make_unique<TextBinding>(*box, new QLineEdit(parent), place, host);
    }
    if (auto* check = dynamic_cast<station::CheckBox*>(&control)) {
        return std::make_unique<CheckBinding>(*check, new QCheckBox(parent), place, host);
    }
    if (auto* combo = dynamic_cast<station::ComboBox*>(&control)) {
        return std::make_unique<ComboBinding>(*combo, new QComboBox(parent), place, host);
    }
    if (auto* progress = dynamic_cast<station::ProgressBar*>(&control)) {
        return std::make_unique<ProgressBinding>(*progress, new QProgressBar(parent), place, host);
    }
    if (auto* bar = dynamic_cast<station::ScrollBar*>(&control)) {
        return std::make_unique<ScrollBinding>(*bar, new QScrollBar(Qt::Horizontal, parent), place,
                                               host);
    }
    return nullptr;
}

} // namespace zr::window::qt
