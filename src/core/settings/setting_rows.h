// How a row of a settings list (state/settings_list.h) becomes a row of a
// settings table: what reads its value line, writes it, and copies it between
// the settings and the dialog's form. Made for any settings and form type, so
// that another list makes its table the same way.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "state/state.h"
#include "text/numbers.h"

namespace rm {

// The part of the state the file keeps.
template <class S>
struct StoredValues {
    S& settings;
    PanelPosition& panel;
};

template <class S>
struct ConstStoredValues {
    const S& settings;
    const PanelPosition& panel;
};

template <class S, class F>
struct SettingRowOf {
    // 1.. in file order.
    int Pair = 0;
    const char* Label = nullptr;
    const char* Name = nullptr;
    // Applies a value line; false when it ends the reading.
    bool (*Read)(StoredValues<S> to, const std::string& value) = nullptr;
    std::string (*Write)(ConstStoredValues<S> from) = nullptr;
    // The dialog's control of the value, by the form's name and its id; none
    // for a value kept only in the file.
    const char* Control = nullptr;
    int ControlId = 0;
    // The form's value of an edit or a check box, which the dialog shows and
    // takes as it is.
    std::string F::*FormText = nullptr;
    bool F::*FormCheck = nullptr;
    // The plain copies between the settings and the form; none where a rule
    // of the form fills and saves the value instead.
    void (*Fill)(const S& from, F& to) = nullptr;
    void (*Save)(const F& from, S& to) = nullptr;
    // The edit's name in the refusal of a character the file cannot hold;
    // none where the save checks the text on its own.
    const char* Caption = nullptr;
};

enum class ControlKind { NoControl, Edit, Check, CheckByRule, SpinByRule };

template <class Member>
struct MemberOf;
template <class T, class C>
struct MemberOf<T C::*> {
    using Owner = C;
};
template <auto Field>
using OwnerOf = typename MemberOf<decltype(Field)>::Owner;

// How values read and write; settings_table.cpp adds those of single settings.
namespace codecs {

// Taken as it is.
struct Text {
    template <auto Field>
    static bool Read(StoredValues<OwnerOf<Field>> to, const std::string& value) {
        to.settings.*Field = value;
        return true;
    }
    template <auto Field>
    static std::string Write(ConstStoredValues<OwnerOf<Field>> from) {
        return from.settings.*Field;
    }
};

// Exactly "on" counts as on.
struct OnOff {
    template <auto Field>
    static bool Read(StoredValues<OwnerOf<Field>> to, const std::string& value) {
        to.settings.*Field = IsOn(value);
        return true;
    }
    template <auto Field>
    static std::string Write(ConstStoredValues<OwnerOf<Field>> from) {
        return from.settings.*Field ? OnText : OffText;
    }
};

// Always an empty line; never read.
struct Unused {
    template <class S>
    static bool Read(StoredValues<S>, const std::string&) {
        return true;
    }
    template <class S>
    static std::string Write(ConstStoredValues<S>) {
        return {};
    }
};

// A value that is not a decimal integer ends the reading.
template <int PanelPosition::*Field>
struct Coordinate {
    template <class S>
    static bool Read(StoredValues<S> to, const std::string& value) {
        const auto number = StrToInt(value);
        if (number) to.panel.*Field = *number;
        return number.has_value();
    }
    template <class S>
    static std::string Write(ConstStoredValues<S> from) {
        return std::to_string(from.panel.*Field);
    }
};

}  // namespace codecs

template <class S, class F, class Codec, ControlKind Kind, auto Field, auto FormValue>
SettingRowOf<S, F> SettingRowFor(const char* label, const char* name, const char* control, int id,
                                 const char* caption) {
    SettingRowOf<S, F> row{.Label = label,
                           .Name = name,
                           .Read = &Codec::template Read<Field>,
                           .Write = &Codec::template Write<Field>,
                           .Control = control,
                           .ControlId = id,
                           .Caption = caption};
    if constexpr (Kind == ControlKind::Edit) row.FormText = FormValue;
    if constexpr (Kind == ControlKind::Check || Kind == ControlKind::CheckByRule) row.FormCheck = FormValue;
    if constexpr (Kind == ControlKind::Edit || Kind == ControlKind::Check) {
        row.Fill = [](const S& from, F& to) { to.*FormValue = from.*Field; };
        row.Save = [](const F& from, S& to) { to.*Field = from.*FormValue; };
    }
    return row;
}

template <class S, class F, class Codec>
SettingRowOf<S, F> FileOnlyRow(const char* label, const char* name) {
    return {.Label = label, .Name = name, .Read = &Codec::template Read<S>, .Write = &Codec::template Write<S>};
}

template <class S, class F, std::size_t N>
std::array<SettingRowOf<S, F>, N> NumberedRows(const SettingRowOf<S, F> (&rows)[N]) {
    std::array<SettingRowOf<S, F>, N> numbered;
    for (std::size_t i = 0; i < N; ++i) {
        numbered[i] = rows[i];
        numbered[i].Pair = static_cast<int>(i + 1);
    }
    return numbered;
}

}  // namespace rm

// A list's table for settings S and form F is NumberedRows<S, F>({LIST(ROW,
// FILE_ONLY)}), where ROW(...) is RM_SETTING_ROW(S, F, __VA_ARGS__) and
// FILE_ONLY(...) is RM_FILE_ONLY_ROW(S, F, __VA_ARGS__).
#define RM_SETTING_ROW(S, F, name, type, initial, label, codec, control, form, id, caption, sample)          \
    ::rm::SettingRowFor<S, F, ::rm::codecs::codec, ::rm::ControlKind::control, &S::name,                  \
                        RM_FORM_VALUE_##control(F, form)>(label, #name, RM_CONTROL_NAME_##control(form), id, \
                                                           caption),
#define RM_FILE_ONLY_ROW(S, F, name, codec, label) ::rm::FileOnlyRow<S, F, ::rm::codecs::codec>(label, #name),
#define RM_FORM_VALUE_Edit(F, form) &F::form
#define RM_FORM_VALUE_Check(F, form) &F::form
#define RM_FORM_VALUE_CheckByRule(F, form) &F::form
#define RM_FORM_VALUE_SpinByRule(F, form) nullptr
#define RM_FORM_VALUE_NoControl(F, form) nullptr
#define RM_CONTROL_NAME_Edit(form) #form
#define RM_CONTROL_NAME_Check(form) #form
#define RM_CONTROL_NAME_CheckByRule(form) #form
#define RM_CONTROL_NAME_SpinByRule(form) #form
#define RM_CONTROL_NAME_NoControl(form) nullptr
#define RM_COUNT_ROW(...) 1 +
