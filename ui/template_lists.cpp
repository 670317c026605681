#include "ui/template_lists.h"

#include "resources/combo_lists.h"

namespace quarnel {

void FillTemplateLists(HWND dialog, int templateId) {
    for (const ComboList& list : AllComboLists()) {
        if (list.templateId != templateId) continue;
        HWND combo = GetDlgItem(dialog, list.controlId);
        if (!combo) continue;
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        for (std::size_t i = 0; i < list.items.count; ++i) {
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list.items.texts[i]));
        }
    }
}

}  // namespace quarnel
