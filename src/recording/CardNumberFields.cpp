#include "recording/CardNumberFields.h"

#include "base/CardNumber.h"

namespace zr::recording {

void codeFieldLostFocus(station::Station& station, station::TextBox& field,
                        const station::TextBox& otherField) {
    const base::CodeFieldCheck check =
        base::checkCodeField(field.text(), otherField.text(), station.english());
    // The text is settled before the box shows, so the operator sees the value the message
    // is about.
    field.setText(check.text);
    if (!check.keepsFocus()) {
        return;
    }
    station.platform().desktop.messageBox(check.message, kMessageBoxTitle);
    station.setFocus(field);
}

void cmdAdd_Click(station::Station& station) {
    station.txtCardCode.setText(base::stepCardCodeUp(station.txtCardCode.text()));
}

void cmdDec_Click(station::Station& station) {
    station.txtCardCode.setText(base::stepCardCodeDown(station.txtCardCode.text()));
}

} // namespace zr::recording
