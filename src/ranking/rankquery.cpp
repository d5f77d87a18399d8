#include "ranking/rankquery.h"

namespace marbleway {

namespace {

RankHit hitFrom(const cKeyrank& finder, SearchEngine engine, int position)
{
    const RankFields& fields = finder.fields(engine);
    return RankHit{engine, position, fields.link, fields.queryUrl};
}

} // namespace

QCoro::Task<> findPositions(cKeyrank& finder, SearchEngine engine, bool allPositions,
                            std::function<void(const RankHit&)> onHit)
{
    int last = co_await finder.find(engine, 0, 0);
    onHit(hitFrom(finder, engine, last));
    if (!allPositions)
        co_return;
    // A miss leaves the page field at the depth, which ends the loop.
    while (true) {
        const int page = finder.fields(engine).page.toInt();
        if (page >= finder.maxnum())
            break;
        const int next =
            co_await finder.find(engine, static_cast<qint16>(page), static_cast<qint16>(last));
        if (next <= 0)
            continue;
        last = next;
        onHit(hitFrom(finder, engine, last));
    }
}

qint16 depthPages(int results)
{
    switch (results) {
    case 10:
        return 1;
    case 20:
        return 2;
    case 50:
        return 5;
    default:
        return 0;
    }
}

} // namespace marbleway
