// The standard group and entry icons, kept in families by what they show. Each family lists
// the icon numbers it draws; StandardIconPainter puts them together into the whole set.
#pragma once

#include <QPainter>

#include <span>

namespace vaultora::ui::icons {

struct StandardIcon {
    int number;
    void (*draw)(QPainter& painter);
};

// Papers, notes, books and writing tools.
[[nodiscard]] std::span<const StandardIcon> paperIcons();
// Computers, drives, screens and other hardware.
[[nodiscard]] std::span<const StandardIcon> deviceIcons();
// The world, mail and conversation.
[[nodiscard]] std::span<const StandardIcon> networkIcons();
// Folders, boxes and the bin: where things are kept.
[[nodiscard]] std::span<const StandardIcon> storageIcons();
// Signs and symbols: warnings, marks, stars, the clock.
[[nodiscard]] std::span<const StandardIcon> symbolIcons();
// Keys, tools, the house, the bank and other things of everyday life.
[[nodiscard]] std::span<const StandardIcon> objectIcons();

} // namespace vaultora::ui::icons
