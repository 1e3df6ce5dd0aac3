#include "paging/paginghost.h"


namespace {
PagingHost *g_host = nullptr;
std::function<QDateTime()> g_clock;
}  // namespace

void SetPagingHost(PagingHost *host) { g_host = host; }
PagingHost *CurrentPagingHost() { return g_host; }

void SetLogClock(std::function<QDateTime()> clock) { g_clock = std::move(clock); }

QDateTime LogClockNow() { return g_clock ? g_clock() : QDateTime::currentDateTime(); }
