#include "form/settings_check.h"

#include "settings/settings_table.h"
#include "text/address.h"
#include "text/cp932.h"
#include "text/numbers.h"

namespace rm {
namespace {

struct TextField {
    FormField Field;
    const char* Label;
    std::string SettingsForm::*Text;
};

// The texts the two files keep, by the labels the dialog shows them under;
// the address and the minutes have checks of their own.
constexpr TextField TextFields[] = {
    {FormField::Edit2, "Routavistaユーティリティの場所", &SettingsForm::Edit2},
    {FormField::PCname, "パソコンのニックネーム", &SettingsForm::PCname},
    {FormField::Edit3, "Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所", &SettingsForm::Edit3},
    {FormField::dwport1, "登録アクセスポイントの名称 ISP１", &SettingsForm::dwport1},
    {FormField::dwport2, "登録アクセスポイントの名称 ISP２", &SettingsForm::dwport2},
    {FormField::dwport3, "登録アクセスポイントの名称 ISP３", &SettingsForm::dwport3},
    {FormField::Edit5, "サウンドの接続時", &SettingsForm::Edit5},
    {FormField::Edit6, "サウンドの切断時", &SettingsForm::Edit6},
    {FormField::Edit4, "サウンドの分経過時", &SettingsForm::Edit4},
    {FormField::Edit7, "ISP1 の名称", &SettingsForm::Edit7},
    {FormField::Edit8, "ISP2 の名称", &SettingsForm::Edit8},
    {FormField::Edit9, "ISP3 の名称", &SettingsForm::Edit9},
};

std::optional<Refusal> CheckText(const std::string& text, const std::string& label, FormField field) {
    const std::string character = FirstCharNotInCp932(text);
    if (character.empty()) return std::nullopt;
    return Refusal{"「" + label + "」に、ファイルに保存できない文字「" + character +
                       "」があります。\rこの文字を使わずに入力し直してください。",
                   field};
}

std::optional<Refusal> CheckTexts(const SettingsForm& form) {
    for (const TextField& t : TextFields) {
        if (auto refusal = CheckText(form.*t.Text, t.Label, t.Field)) return refusal;
    }
    for (std::size_t i = 0; i < form.soft.size(); ++i) {
        const auto field = static_cast<FormField>(static_cast<int>(FormField::soft1) + static_cast<int>(i));
        if (auto refusal = CheckText(form.soft[i], "ランチャーのタイトル" + std::to_string(i + 1), field)) {
            return refusal;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Refusal> CheckSettingsForm(const SettingsForm& form) {
    if (form.startBox1 && form.endBox2 && form.SpinEdit1 == form.SpinEdit3 && form.SpinEdit2 == form.SpinEdit4) {
        return Refusal{EqualTimesMessage, FormField::SpinEdit3};
    }
    if (!ParseIpv4Address(form.Edit1)) return Refusal{InvalidAddressMessage, FormField::Edit1};
    if (!WholeNumber(form.delyStime, 0, MaxSoundAfterMinutes)) {
        return Refusal{"サウンドの「分経過時」には 0 から " + std::to_string(MaxSoundAfterMinutes) +
                           " までの整数を入力してください。",
                       FormField::delyStime};
    }
    return CheckTexts(form);
}

}  // namespace rm
