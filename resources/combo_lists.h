#pragma once

#include <cstddef>

#include "envrecord/settings.h"

// The fixed items of the drop-down lists of every dialog template. Dialog
// templates cannot carry list items, so each dialog fills its lists from here
// when it initialises. The main window's setting lists take the entries of
// their descriptors (envrecord/settings.h).
namespace quarnel {

// Item texts of one list, in list order (index = selection index).
using ComboItems = ListTexts;

struct ComboList {
    int templateId;  // IDD_... of resources/resource.h
    int controlId;   // IDC_... of that template
    ComboItems items;
};

// Every list of every template, for walking with a range-for.
struct ComboListRange {
    const ComboList* first;
    const ComboList* last;
    const ComboList* begin() const { return first; }
    const ComboList* end() const { return last; }
};

// Items of control `controlId` in template `templateId`; {nullptr, 0} when
// that control has no fixed list.
ComboItems FindComboItems(int templateId, int controlId);

ComboListRange AllComboLists();

}  // namespace quarnel
