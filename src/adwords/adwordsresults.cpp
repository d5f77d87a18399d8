#include "adwords/adwordsresults.h"

namespace marbleway {

using namespace Qt::StringLiterals;

const QStringList AdWordsResults::Columns = {u"相关关键词"_s, u"估计广告排名"_s,
                                             u"估计每次点击费用"_s, u"广告客户竞争度"_s,
                                             u"全球每月搜索量"_s};

AdWordsResults::AdWordsResults(QObject* parent)
    : QObject(parent)
    , m_list(Columns)
{}

} // namespace marbleway
