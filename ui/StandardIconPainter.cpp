#include "ui/StandardIconPainter.h"

#include "ui/StandardIconFamilies.h"

#include <array>

namespace vaultora::ui {

namespace {

using Table = std::array<StandardIconPainter::Drawing, StandardIconPainter::iconCount>;

Table buildTable() {
    Table table{};
    for (const auto family : {icons::paperIcons(), icons::deviceIcons(), icons::networkIcons(),
                              icons::storageIcons(), icons::symbolIcons(), icons::objectIcons()}) {
        for (const icons::StandardIcon& icon : family) {
            if (icon.number >= 0 && icon.number < StandardIconPainter::iconCount) {
                table[static_cast<std::size_t>(icon.number)] = icon.draw;
            }
        }
    }
    return table;
}

} // namespace

StandardIconPainter::Drawing StandardIconPainter::drawing(int number) {
    static const Table table = buildTable();
    if (number < 0 || number >= iconCount) {
        return nullptr;
    }
    return table[static_cast<std::size_t>(number)];
}

} // namespace vaultora::ui
