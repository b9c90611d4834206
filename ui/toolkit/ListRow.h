// What a list row shows: an image name, a title, a subtitle and an accessory; and the titled
// sections of rows a controller hands to a list panel.
#pragma once

#include <QList>
#include <QString>

namespace vaultora::toolkit {

enum class ListAccessory { None, DisclosureIndicator, Checkmark };

struct ListRow {
    QString imageName{};
    QString title{};
    QString subtitle{};
    ListAccessory accessory = ListAccessory::None;
    bool centred = false;
    // Offered for deletion while the list is being edited.
    bool deletable = false;
    // The arrow keys stop on the row; a spacer that opens nothing is passed over.
    bool focusable = true;
};

struct ListSection {
    QString title{};
    QList<ListRow> rows{};
};

} // namespace vaultora::toolkit
