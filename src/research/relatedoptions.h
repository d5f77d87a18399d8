#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace marbleway {

// The five check boxes of the related keyword search, kept in "setting1" as
// five "0"/"1" fields joined with "#", in this order.
struct RelatedOptions {
    enum Option { MustContain, GoogleCounts, YahooCounts, BingCounts, StoreAtOnce, Count };

    std::array<bool, Count> checked{false, true, true, false, false};

    // Applies a stored value; fields it lacks leave their options as they are.
    void apply(QStringView stored);
    QString toSetting() const;

    static const QString SettingName;
    static const QString Default;
    // The boxes' captions, in the stored order.
    static const QStringList Captions;
};

// Whether one of the "|"-separated words occurs in `text` (case-sensitive).
// Empty words are skipped: they would exclude everything.
bool HasExcludedWord(const QString& text, const QString& words);

} // namespace marbleway
