#pragma once

#include <QString>
#include <QStringView>

// Filling the launch-page templates. Names match without regard to case; positions and
// counts are 16-bit, so a replacement that keeps bringing in its own token ends in an
// overflow error instead of running on.
namespace zelp {

// Replaces every "%name%" by value, searching again from the start after each replacement,
// so that text brought in by a value is searched too. Throws an overflow RuntimeError for a
// token found beyond character 32,767 or for a 32,768th replacement.
void ReplacePlaceholder(QString &text, QStringView name, QStringView value);

// The first block from "%<name%" to "%name>%": keep drops just the two markers, otherwise
// everything from the opening marker to the end of the closing one goes. Text without a
// complete block stays as it is. Throws an overflow RuntimeError for a marker found beyond
// character 32,767.
void ConditionalBlock(QString &text, QStringView name, bool keep);

} // namespace zelp
