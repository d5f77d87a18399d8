#pragma once

#include "web/endpoints.h"
#include "web/webclient.h"

#include <QString>
#include <QStringList>
#include <qcoro/qcorotask.h>

namespace marbleway {

// A suggestion for the maker, as the feedback window collects it.
struct Feedback {
    QString title;
    QString type;
    QString qq;
    QString email;
    QString content;

    // "请输入标题！" or "请输入内容！" when a box the maker needs is empty
    // (or holds only spaces), otherwise empty.
    QString problem() const;
    // The maker's suggestion service with every value trimmed and encoded.
    QString address(const Endpoints& endpoints) const;

    inline static const QStringList Types = {
        QStringLiteral(QT_TRANSLATE_NOOP("Feedback", "功能改进")),
        QStringLiteral(QT_TRANSLATE_NOOP("Feedback", "BUG报告")),
        QStringLiteral(QT_TRANSLATE_NOOP("Feedback", "购买事宜")),
        QStringLiteral(QT_TRANSLATE_NOOP("Feedback", "一般性建议"))};
    inline static const QString DefaultType =
        QStringLiteral(QT_TRANSLATE_NOOP("Feedback", "一般性建议"));
    // Where suggestions go while the program has no suggestion service to send to.
    inline static const QString MakerMail = QStringLiteral("feedback@marbleway.example");
    static constexpr int TimeoutSeconds = 20;
};

// Sends `feedback` to the maker; the answer is not looked at, a failure neither.
// The client must outlive the call.
QCoro::Task<> sendFeedback(const WebClient& client, QString address);

} // namespace marbleway
