#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/setting_rows.h"

namespace rm {
namespace {

// Two settings added as settings_list.h adds one: a row each.
#define SCRATCH_SETTINGS(SETTING, FILE_ONLY)                                                                     \
    SETTING(ProxyAddress, std::string, "proxy.lan", "[プロキシ]", Text, Edit, ProxyEdit, 900, "プロキシのアドレス", \
            "cache.lan")                                                                                             \
    SETTING(UseProxy, bool, true, "[プロキシを使用]", OnOff, Check, ProxyBox, 901, nullptr, false)

struct ScratchSettings {
    SCRATCH_SETTINGS(RM_SETTING_FIELD, RM_NOTHING)
};
struct ScratchForm {
    SCRATCH_SETTINGS(RM_FORM_FIELD, RM_NOTHING)
};
#define SCRATCH_ROW(...) RM_SETTING_ROW(ScratchSettings, ScratchForm, __VA_ARGS__)
const auto ScratchTable = NumberedRows<ScratchSettings, ScratchForm>({SCRATCH_SETTINGS(SCRATCH_ROW, RM_NOTHING)});

// From its row alone: the field with its default, the file's label and
// value, the control, and the form's copy there and back.
TEST(SettingRows, ASettingAddedAsOneRowIsReadWrittenAndShown) {
    struct Expected {
        std::string label, control;
        int id;
        std::string initial, read;
    };
    const std::vector<Expected> rows{{"[プロキシ]", "ProxyEdit", 900, "proxy.lan", "cache.lan"},
                                     {"[プロキシを使用]", "ProxyBox", 901, "on", "off"}};
    ASSERT_EQ(ScratchTable.size(), rows.size());
    ScratchSettings read, saved;
    ScratchForm form;
    PanelPosition panel;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = ScratchTable[i];
        SCOPED_TRACE(rows[i].label);
        EXPECT_EQ(row.Pair, static_cast<int>(i + 1));
        EXPECT_EQ(row.Label, rows[i].label);
        EXPECT_EQ(row.Control, rows[i].control);
        EXPECT_EQ(row.ControlId, rows[i].id);
        EXPECT_EQ(row.Write({ScratchSettings{}, panel}), rows[i].initial);
        EXPECT_TRUE(row.Read({read, panel}, rows[i].read));
        row.Fill(read, form);
        row.Save(form, saved);
        EXPECT_EQ(row.Write({saved, panel}), rows[i].read);
    }
    EXPECT_EQ(form.ProxyEdit, "cache.lan");
    EXPECT_FALSE(form.ProxyBox);
    EXPECT_EQ(&(form.*ScratchTable[0].FormText), &form.ProxyEdit);
    EXPECT_EQ(&(form.*ScratchTable[1].FormCheck), &form.ProxyBox);
    EXPECT_STREQ(ScratchTable[0].Caption, "プロキシのアドレス");
}

}  // namespace
}  // namespace rm
