#pragma once

#include "ranking/keyrank.h"
#include "ranking/searchengine.h"

#include <QList>
#include <QString>
#include <qcoro/qcorotask.h>

#include <functional>

namespace marbleway {

// One row of a rank answer: where the site stands on one engine.
struct RankHit {
    SearchEngine engine = SearchEngine::Google;
    int position = 0; // 0: not found within the depth
    QString link;
    QString queryUrl;
};

// Asks `engine` for the site, keyword and depth already set on `finder`: the
// first position and, with `allPositions`, every further one within the depth.
// `onHit` gets the first answer (position 0 when not found) and then each
// further position as it is found. The finder must outlive the call.
QCoro::Task<> findPositions(cKeyrank& finder, SearchEngine engine, bool allPositions,
                            std::function<void(const RankHit&)> onHit);

// Depth in results (10, 20, 50) as result pages of 10, or 0 when not offered.
qint16 depthPages(int results);

} // namespace marbleway
