#include "keys/KeyProcedures.h"

#include "base/TextRules.h"
#include "keys/KeyBoxes.h"
#include "keys/KeyDerivation.h"

namespace zr::keys {
namespace {

KeyBoxes boxTexts(const KeyRowBoxes& row) {
    KeyBoxes texts;
    for (std::size_t i = 0; i < kKeyLength; ++i) {
        texts[i] = row[i].text();
    }
    return texts;
}

void setBoxTexts(KeyRowBoxes& row, const KeyBoxes& texts) {
    for (std::size_t i = 0; i < kKeyLength; ++i) {
        row[i].setText(texts[i]);
    }
}

DerivationMasks masksOf(const station::SiteKeys& site) {
    return {site.mask1, site.mask2, site.mask3};
}

} // namespace

void keyBoxLostFocus(station::TextBox& box) {
    box.setText(base::upperAscii(box.text()));
}

void cmdSwitch_Click(KeyRowBoxes& aKey, KeyRowBoxes& newAKey) {
    const KeyBoxes current = boxTexts(aKey);
    setBoxTexts(aKey, boxTexts(newAKey));
    setBoxTexts(newAKey, current);
}

void lblCaption_DblClick(station::Station& station) {
    const std::string answer =
        station.platform().desktop.inputBox(kAdminPrompt, kAdminTitle, std::string());
    if (answer != kAdminCode) {
        return;
    }
    station.size1 = kUnlockedSize1;
    station.size2 = kUnlockedSize2;
}

void cmdCalculate_A_Key_Click(station::Station& station) {
    const auto key = deriveKey(station.txtUID.text(), masksOf(station.site));
    if (!key) {
        return;
    }
    const KeyBoxes texts = keyBoxTexts(*key);
    setBoxTexts(station.txtAKey, texts);
    setBoxTexts(station.txtNewAKey, texts);
}

station::SiteKeys siteKeysFrom(const SiteConfig& config) {
    station::SiteKeys keys;
    keys.loginKey = config.loginKey;
    keys.v1CardKey = config.v1CardKey;
    keys.mask1 = config.masks.m1;
    keys.mask2 = config.masks.m2;
    keys.mask3 = config.masks.m3;
    return keys;
}

} // namespace zr::keys
