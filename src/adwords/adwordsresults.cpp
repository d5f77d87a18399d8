#include "adwords/adwordsresults.h"

namespace marbleway {

using namespace Qt::StringLiterals;

const QStringList AdWordsResults::Columns = {
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "相关关键词")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "估计广告排名")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "估计每次点击费用")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "广告客户竞争度")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "全球每月搜索量"))};

AdWordsResults::AdWordsResults(QObject* parent)
    : QObject(parent)
    , m_list(Columns)
{}

} // namespace marbleway
