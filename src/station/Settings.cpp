// Start-up, shut-down and the settings set they read and write.
#include "base/TextRules.h"
#include "station/Station.h"

namespace zr::station {
namespace {

constexpr const char* kApp = "ZR";
constexpr const char* kSection = "ZR_Record";

std::string joinKey(const ControlArray<TextBox, 6>& row) {
    std::string joined;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) {
            joined += '-';
        }
        joined += row[i].text();
    }
    return joined;
}

// Fills the boxes for the parts present; a stored key with fewer parts leaves the rest.
void splitKey(const std::string& stored, ControlArray<TextBox, 6>& row) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const std::size_t dash = stored.find('-', start);
        row[i].setText(stored.substr(start, dash == std::string::npos ? dash : dash - start));
        if (dash == std::string::npos) {
            return;
        }
        start = dash + 1;
    }
}

} // namespace

std::string Station::setting(const std::string& key, const std::string& defaultValue) const {
    return platform_.settings.get(kApp, kSection, key, defaultValue);
}

void Station::saveSetting(const std::string& key, const std::string& value) {
    platform_.settings.save(kApp, kSection, key, value);
}

// A hand-edited value that is not a whole decimal number in range falls back to the
// default rather than stopping the station.
int Station::integerSetting(const std::string& key, int defaultValue, int minValue,
                            int maxValue) const {
    const auto value =
        base::parseWholeNumber(base::trimSpaces(setting(key, std::to_string(defaultValue))));
    if (!value || *value < minValue || *value > maxValue) {
        return defaultValue;
    }
    return *value;
}

void Station::Form_Load() {
    CenterWindow();
    connType = setting("ConnType", "COM");
    cboCOM.setListIndex(integerSetting("COM", 0, 0, cboCOM.listCount() - 1));
    txtIP.setText(setting("IP", "192.168.0.120"));
    txtPORT.setText(setting("PORT", "101"));
    // The link controls' clicks belong to the programmer link, which opens the link chosen.
    if (connType == "COM") {
        sbCOM.click();
    } else if (connType == "TCPIP") {
        sbTCPIP.click();
    }
    chkAutoAdd.setValue(integerSetting("AutoAdd", 0, 0, 1));
    chkLock.setValue(integerSetting("Lock", 1, 0, 1));
    chkSound.setValue(integerSetting("Sound", 1, 0, 1));
    chkLanguage.setValue(integerSetting("Language", 0, 0, 1));
    txtGroupCode.setText(setting("GroupCode", "00001"));
    txtCardCode.setText(setting("CardCode", "00001"));
    chkProgramV1.setValue(integerSetting("ProgramV1", 1, 0, 1));
    chkProgramV3.setValue(integerSetting("ProgramV3", 1, 0, 1));
    cboProgrammer.setListIndex(integerSetting("ProgrammerType", 1, 0, 1));
    shown = true;
    ApplyLanguage();
    fillBlockList();
    chkBlock.backColor = rgb(1, 38, 90);
    chkLock.backColor = rgb(1, 38, 90);
    chkAutoAdd.backColor = rgb(6, 47, 99);
    chkSound.backColor = rgb(15, 60, 115);
    chkAutoRecord.backColor = rgb(25, 76, 133);
    restoreKeys();
    chkVerify.setValue(integerSetting("Verify", 0, 0, 1));
    restoreRun();
}

void Station::fillBlockList() {
    const auto pad = [](int x) {
        const std::string digits = std::to_string(x);
        return std::string(digits.size() < 2 ? 2 - digits.size() : 0, ' ') + digits;
    };
    cboBlock.clear();
    for (int sector = 8; sector <= 8; ++sector) {
        for (int block = 0; block <= 2; ++block) {
            const int n = sector * 4 + block;
            cboBlock.addItem(pad(n) + " - Sec " + pad(sector) + " BLOCK " + std::to_string(n));
        }
    }
    cboBlock.setListIndex(0);
}

void Station::restoreKeys() {
    const std::string block = setting("BLOCK", "");
    if (!block.empty()) {
        cboBlock.text = block;
    }
    const std::string keyA = base::trimSpaces(setting("KeyA", ""));
    if (!keyA.empty()) {
        splitKey(keyA, txtAKey);
    }
    const std::string keyNew = base::trimSpaces(setting("KeyNew", ""));
    if (!keyNew.empty()) {
        splitKey(keyNew, txtNewAKey);
        chkSaveKey.setValue(1);
    }
}

// The whole set goes to the store as one change, so a station switched off while saving
// keeps either the old set or the new one, never a mix.
bool Station::SaveStationSettings() {
    const bool keepKeys = chkSaveKey.checked();
    const platform::SettingValues values{
        {"COM", std::to_string(cboCOM.listIndex())},
        {"AutoAdd", std::to_string(chkAutoAdd.value())},
        {"Lock", std::to_string(chkLock.value())},
        {"Sound", std::to_string(chkSound.value())},
        {"Language", std::to_string(chkLanguage.value())},
        {"GroupCode", txtGroupCode.text()},
        {"CardCode", txtCardCode.text()},
        {"ProgramV1", std::to_string(chkProgramV1.value())},
        {"ProgramV3", std::to_string(chkProgramV3.value())},
        {"BLOCK", keepKeys ? cboBlock.text : std::string()},
        {"KeyA", keepKeys ? joinKey(txtAKey) : std::string()},
        {"KeyNew", keepKeys ? joinKey(txtNewAKey) : std::string()},
    };
    platform::SettingValues all = values;
    addRunSettings(all);
    return platform_.settings.saveAll(kApp, kSection, all);
}

// A run whose stored figures do not fit together is dropped rather than continued wrongly.
void Station::restoreRun() {
    run = RunState{};
    showRun();
    const std::string group = base::trimSpaces(setting("RunGroup", ""));
    const int first = integerSetting("RunFirst", -1, 0, 65535);
    const int last = integerSetting("RunLast", -1, 0, 65535);
    if (group.empty() || first < 0 || last < first) {
        return;
    }
    run.groupCode = group;
    run.firstCard = first;
    run.lastCard = last;
    run.written = integerSetting("RunWritten", 0, 0, run.total());
    run.skipped = integerSetting("RunSkipped", 0, 0, run.total() - run.written);
    run.complete = integerSetting("RunComplete", 0, 0, 1) != 0;
    txtRunTarget.setText(std::to_string(last));
    showRun();
}

void Station::addRunSettings(platform::SettingValues& values) const {
    const bool any = !run.groupCode.empty();
    const auto number = [any](int value) { return any ? std::to_string(value) : std::string(); };
    values.insert(values.end(), {{"Verify", std::to_string(chkVerify.value())},
                                 {"RunGroup", run.groupCode},
                                 {"RunFirst", number(run.firstCard)},
                                 {"RunLast", number(run.lastCard)},
                                 {"RunWritten", number(run.written)},
                                 {"RunSkipped", number(run.skipped)},
                                 {"RunComplete", number(run.complete ? 1 : 0)}});
}

void Station::CmdExit_Click() {
    SaveStationSettings();
    if (platform_.serial.isOpen()) {
        platform_.serial.close();
    }
    ended_ = true;
    if (onEnd_) {
        onEnd_();
    }
}

void Station::cboProgrammer_Click() {
    saveSetting("ProgrammerType", std::to_string(cboProgrammer.listIndex()));
}

} // namespace zr::station
