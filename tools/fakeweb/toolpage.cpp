#include "toolpage.h"

#include "testhttpserver.h"

namespace marbleway::fakeweb {

using namespace Qt::StringLiterals;

namespace {

const QByteArray passedCookie = "toolcaptcha=passed";

// The search button's script: the captcha first, then the table after a delay,
// written as the tool writes it (quoted attributes, bars with pixel widths).
const QString script = uR"page(
var suffixes = [['', ''], ['', ' tools'], ['free ', ''], ['', ' software'], ['best ', ''],
                ['', ' online']];
var bars = [[90, 10], [75, 25], [3, 7], [1, 2], [100, -1], [91, 9]];
function cell(kind, text) { return '<td class="' + kind + '">' + text + '</td>'; }
function bar(width) {
  return width < 0 ? '' : '<div class="indicatorbar" style="width: ' + width + 'px"></div>';
}
function table(keyword, redrawn) {
  var rows = '';
  for (var i = 0; i < suffixes.length; ++i) {
    var k = (i + (redrawn ? 4 : 0)) % suffixes.length;
    var text = suffixes[k][0] + keyword + suffixes[k][1];
    var searches = (k + 1) * 1210 + keyword.length * 10;
    rows += '<tr>' + cell('c0', text) + cell('c1', (k % 3 + 1) + '-3') +
            cell('c2', '$' + (k + 1) + '.25') +
            '<td class="c3">' + bar(bars[k][0]) + bar(bars[k][1]) + '</td>' +
            cell('data', searches - 300) + cell('data', searches.toLocaleString('en-US')) + '</tr>';
  }
  return '<table>' + rows + '</table>';
}
function search() {
  var captcha = document.getElementById('kpVariationsTool-captcha');
  if (captcha.innerHTML !== '') {
    var answer = document.getElementById('kpVariationsTool-captchaAnswer').value;
    // Synchronous, so the cookie is set before the click returns.
    var request = new XMLHttpRequest();
    request.open('GET', '/select/verify?answer=' + encodeURIComponent(answer), false);
    request.send();
    return;
  }
  var keyword = document.getElementById('kpVariationsTool-keyword').value.toLowerCase();
  var results = document.getElementById('kpResults');
  setTimeout(function () {
    results.innerHTML = table(keyword, false);
    if (UPDATE > 0)
      setTimeout(function () { results.innerHTML = table(keyword, true); }, UPDATE);
  }, DELAY);
}
)page"_s;

} // namespace

QString toolPage(bool captcha, int delayMs, int updateMs)
{
    const QString captchaArea =
        captcha ? u"请输入图中字符：<b style=\"letter-spacing:6px;font-size:20px\">%1</b>"_s.arg(
                      ToolPageOptions::Answer)
                : QString();
    return uR"page(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Keyword Tool</title>
<style>body { font-family: sans-serif; width: 1500px; margin: 0; }
#banner { height: 860px; background: #e8f0fe; padding: 20px; }
#tool { margin-left: 360px; padding: 10px; }
td { padding: 2px 8px; border-bottom: 1px solid #ddd; }</style></head><body>
<div id="banner"><h1>Keyword Tool (example)</h1><p>An example of the AdWords keyword tool
page, served on loopback.</p></div>
<div id="tool">
<p>Word or phrase: <input id="kpVariationsTool-keyword" type="text"></p>
<div id="kpVariationsTool-captcha">)page"_s +
           captchaArea +
           uR"page(</div>
<p>Characters: <input id="kpVariationsTool-captchaAnswer" type="text"></p>
<p><button id="kpKeywordPlanner-getKeywordsButton" onclick="search()">Search</button></p>
<div id="kpResults"></div>
</div>
<script>var DELAY = %1, UPDATE = %2;</script>
<script>)page"_s.arg(delayMs)
               .arg(updateMs) +
           script + u"</script></body></html>"_s;
}

std::shared_ptr<ToolPageOptions> serveToolPage(test::TestHttpServer& server)
{
    auto options = std::make_shared<ToolPageOptions>();
    server.setHandler([options](const test::Request& request) -> std::optional<test::Response> {
        if (request.path == u"/select/KeywordToolExternal"_s) {
            const bool passed = request.header("Cookie").contains(passedCookie);
            return test::Response::page(
                toolPage(options->captcha && !passed, options->delayMs, options->updateMs));
        }
        if (request.path == u"/select/verify"_s) {
            if (request.query(u"answer") != ToolPageOptions::Answer)
                return test::Response::page(u"wrong"_s);
            test::Response response = test::Response::page(u"ok"_s);
            // Lasting, as the real tool's is: the captcha stays answered
            // across a restart of the program.
            response.headers.append({"Set-Cookie", passedCookie + "; Path=/; Max-Age=86400"});
            return response;
        }
        return std::nullopt;
    });
    return options;
}

} // namespace marbleway::fakeweb
