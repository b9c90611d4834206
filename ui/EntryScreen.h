// One entry of an open database as a form: user name, password (masked unless asked for),
// the show-password switch, the URL and the comments. Tapping a row copies a field to the
// clipboard and confirms it; tapping the URL copies the password and opens the address.
#pragma once

#include "ui/ScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include "kdb/DatabaseModel.h"

#include <memory>
#include <string_view>

namespace vaultora::ui {

class EntryScreen final : public toolkit::FormPanel {
    Q_OBJECT

public:
    // Shown in place of the password while it is hidden, whatever its length.
    static constexpr char passwordMask[] = "****";

    explicit EntryScreen(const ScreenServices& services, QObject* parent = nullptr);
    ~EntryScreen() override;

    void setIsStackedView(bool stacked);
    [[nodiscard]] bool isStackedView() const { return m_isStackedView; }

    // Shows the entry, its password hidden or not as the settings say. The screen keeps the
    // tree the entry belongs to alive.
    void showKeePassEntry(kdb::DatabaseEntry* entry, std::shared_ptr<kdb::DatabaseTree> tree);
    // Builds the form anew from the entry and the show-password choice.
    void showEntry();
    void toggleShowPassword();

    [[nodiscard]] kdb::DatabaseEntry* entry() const { return m_entry; }
    [[nodiscard]] bool showPassword() const { return m_showPassword; }
    [[nodiscard]] bool toogleFullScreen() const { return m_toogleFullScreen; }

    // What tapping the user-name and password rows does, also reached from the keyboard.
    void copyUserName();
    void copyPassword();

    // Bar buttons.
    void showFullScreen();
    void closeView();

    [[nodiscard]] double stackableMinWidth() const override;
    void viewDidAppear() override;

private:
    void copyToClipboard(std::string_view text, const QString& confirmation, double seconds);
    void copyPasswordConfirmedFor(double confirmationSeconds);
    void confirmCopy(const QString& confirmation, double seconds);
    void openUrl();

    const ScreenServices& m_services;
    std::shared_ptr<kdb::DatabaseTree> m_tree;
    kdb::DatabaseEntry* m_entry = nullptr;
    bool m_showPassword = false;
    bool m_isStackedView = false;
    bool m_toogleFullScreen = false;
};

} // namespace vaultora::ui
