#include "shell/DictionaryView.h"

#include "data/DataOperations.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "shell/Forms.h"
#include "shell/Navigator.h"

#include <QLineEdit>

namespace tolvane::shell {

DictionaryView viewOf(Forms& forms, const data::DictionaryConfig& config) {
    DictionaryView view;
    if (!forms.dictionaryForm(config).isLoaded())
        return view;
    const auto& controls = forms.dictionaryWindow(config).controls();
    if (!controls.form)
        return view;
    view.searchText = controls.txtSearch->text();
    const int item = controls.lstdata->ListIndex();
    if (item >= 0 && !controls.txtForename->text().isEmpty()) {
        view.headword = controls.lstdata->List(item);
        view.duplicate = controls.lstdata->occurrenceAt(item);
    } else if (const auto shown = forms.navigator().history().current();
               shown && shown->windowName == config.windowName &&
               shown->headword == controls.txtForename->text().trimmed()) {
        view.headword = shown->headword; // shown, its list item gone by typing on
        view.duplicate = shown->duplicate;
    }
    return view;
}

void restoreView(Forms& forms, const data::DictionaryConfig& config, const DictionaryView& view) {
    if (!forms.dictionaryForm(config).isLoaded())
        return;
    dictwindow::DictionaryWindow& window = forms.dictionaryWindow(config);
    const auto found = [&](const QString& text) {
        return text.isEmpty() || data::hasListing(config, window.db, text);
    };
    if (!view.headword.isEmpty() && found(view.headword))
        window.showHeadword(view.headword, view.duplicate);
    QLineEdit* search = window.controls().txtSearch;
    if (search->text() != view.searchText && found(view.searchText))
        search->setText(view.searchText); // the list follows, as for typing
    if (!view.headword.isEmpty() && window.hasControls()) {
        dictwindow::WordList* list = window.controls().lstdata;
        if (list->ListIndex() < 0)
            list->selectItem(list->indexOf(view.headword, view.duplicate));
    }
}

} // namespace tolvane::shell
