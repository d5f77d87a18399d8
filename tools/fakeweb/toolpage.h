#pragma once

#include <QString>

#include <atomic>
#include <memory>

namespace marbleway::test {
class TestHttpServer;
}

namespace marbleway::fakeweb {

// How the example keyword tool page behaves; the server reads it at every
// request, so a test may change it between queries.
struct ToolPageOptions {
    std::atomic<bool> captcha{true}; // the page asks for a captcha until it is answered
    std::atomic<int> delayMs{800};   // the search fills the table after this
    std::atomic<int> updateMs{0};    // and, when not 0, redraws it this much later
                                     // with another first row
    static constexpr QStringView Answer = u"w7k2";
};

// The keyword tool at "/select/KeywordToolExternal": the element ids the
// program drives, a captcha area (answered right at "/select/verify", which
// sets a cookie), and a search button whose script fills "kpResults" with a
// result table for the keyword after a delay.
std::shared_ptr<ToolPageOptions> serveToolPage(test::TestHttpServer& server);

// The tool page's markup as served (`captcha`: whether the captcha area shows).
QString toolPage(bool captcha, int delayMs, int updateMs);

} // namespace marbleway::fakeweb
