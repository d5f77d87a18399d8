#pragma once

#include "cli/options.h"

#include <qcoro/qcorotask.h>

namespace marbleway::cli {

// Each runs its command to the end and gives the exit status.
QCoro::Task<int> runFetch(FetchOptions options);
QCoro::Task<int> runRank(RankOptions options);
QCoro::Task<int> runFavourites(FavouritesOptions options);
QCoro::Task<int> runRelated(RelatedSearchOptions options);
QCoro::Task<int> runDb(DbOptions options);
QCoro::Task<int> runResources(ResourcesOptions options);
QCoro::Task<int> runBaidu(BaiduOptions options);

// The proxy of --proxy for this run, in place of the stored setting.
void setProxyForRun(const QString& proxy);

void writeOut(const QString& text);
void writeErr(const QString& text);

} // namespace marbleway::cli
