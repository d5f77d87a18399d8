#include "enginepages.h"
#include "resources/resourcesearch.h"
#include "testsupport.h"

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

class TestResources : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void queries_data();
    void queries();
    void stopAndResume();
    void answersAndAddresses();
    void refusals();

private:
    std::unique_ptr<Fixture> m_env;
    std::unique_ptr<StatusPanels> m_panels;
    std::unique_ptr<ResourceLibrary> m_library;
    std::unique_ptr<ResourceSearch> m_search;
};

void TestResources::init()
{
    m_search.reset(); // before what it uses
    m_env = std::make_unique<Fixture>();
    fakeweb::serveExamplePages(m_env->server, Service::Maker);
    m_panels = std::make_unique<StatusPanels>();
    m_library = std::make_unique<ResourceLibrary>();
    m_search = std::make_unique<ResourceSearch>(ResourceSearch::Services{m_env->web.client,
                                                                         m_env->web.endpoints,
                                                                         m_env->prompts, *m_panels},
                                                *m_library);
    m_search->tabShown();
}

void TestResources::queries_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("dirtype");
    // Read from the last page on, so that one request is made.
    QTest::newRow("blogs") << 0 << -1 << "cid=6&page=20"_ba << QString();
    QTest::newRow("directory, no type") << 2 << 0 << "cid=8&page=800"_ba << QString();
    QTest::newRow("a type holding &")
        << 2 << 4 << "cid=8&dirtype=%E5%85%8D%E8%B4%B9%26%E4%BB%98%E8%B4%B9&page=800"_ba
        << u"免费&付费"_s;
}

// The list address of each category and second-level type; the example
// service's rows land in the list.
void TestResources::queries()
{
    QFETCH(int, row);
    QFETCH(int, type);
    QFETCH(QByteArray, query);
    QFETCH(QString, dirtype);
    m_library->chooseCategory(row);
    QCOMPARE(m_library->types().size(), row == 2 ? 8 : 0);
    m_library->setTypeIndex(type);
    m_search->resumeAt(ResourceLibrary::lastPage(row + 6), 0);
    await(m_search->run());
    const Request request = m_env->server.requests().constFirst();
    QCOMPARE(request.rawQuery, query);
    QCOMPARE(request.query(u"dirtype"), dirtype.isEmpty() ? std::nullopt : std::optional(dirtype));
    const QStringList names = column(*m_library->list());
    QVERIFY(!names.isEmpty());
    QCOMPARE(m_panels->text(1), StatusPanels::Ready);
    QCOMPARE(std::pair(m_search->page(), m_search->row()), std::pair(1, 0));
}

// Stopped at page 4, row 7: the next start reads page 4 from row 7, then the
// later pages from row 0; three empty answers end the search.
void TestResources::stopAndResume()
{
    m_env->server.setHandler([](const Request& request) {
        const int page = request.query(u"page").value_or(QString()).toInt();
        QString answer;
        for (int row = 0; page <= 5 && row < 10; ++row)
            answer += u"p%1r%2~www.p%1r%2.example~3~note<br>"_s.arg(page).arg(row);
        return Response::page(answer);
    });
    m_library->chooseCategory(2);
    bool stopped = false;
    connect(m_search.get(), &ResourceSearch::positionChanged, this, [&](int page, int row) {
        if (page == 4 && row == 7 && !std::exchange(stopped, true))
            m_search->click();
    });
    await(m_search->run());
    QCOMPARE(m_panels->text(1), StatusPanels::Paused);
    QCOMPARE(m_library->resources()->size(), 37);
    QCOMPARE(m_library->resources()->text(36), u"p4r6"_s);
    m_env->server.clearRequests();
    await(m_search->run());
    QCOMPARE(m_panels->text(1), StatusPanels::Ready);
    QCOMPARE(m_library->resources()->size(), 50);
    QCOMPARE(m_library->resources()->text(37), u"p4r7"_s);
    QStringList pages;
    for (const Request& request : m_env->server.requests())
        pages << request.query(u"page").value_or(QString());
    // The first page twice: the fetcher learns the character set from it.
    QCOMPARE(pages, (QStringList{u"4"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s}));
    QCOMPARE(m_search->emptyPages(), 3);

    // Another category empties the list and the position.
    m_library->chooseCategory(0);
    QCOMPARE(m_library->categories()->checkedTexts(), QStringList{u"Blog Service Provider"_s});
    QCOMPARE(m_library->resources()->size(), 0);
    QCOMPARE(std::pair(m_search->page(), m_search->row()), std::pair(1, 0));
    QCOMPARE(m_library->types(), QStringList());
}

void TestResources::answersAndAddresses()
{
    const QList<QStringList> rows =
        ResourceSearch::readRows(u"a~www.a.example~4~x<br>b~www.b.example<br>tail"_s);
    QCOMPARE(rows, (QList<QStringList>{{u"a"_s, u"www.a.example"_s, u"4"_s, u"x"_s},
                                       {u"b"_s, u"www.b.example"_s, QString(), QString()}}));
    QCOMPARE(resourceAddress(u"www.a.example/x"_s), u"http://www.a.example/x"_s);
    QCOMPARE(resourceAddress(u"http://www.a.example/"_s), u"http://www.a.example/"_s);
}

void TestResources::refusals()
{
    await(m_search->run());
    m_library->chooseCategory(1);
    m_env->web.endpoints.setHost(Service::Maker, Endpoints().host(Service::Maker));
    await(m_search->run());
    const QStringList messages = m_env->prompts.messages();
    QCOMPARE(messages.value(0), u"请选择一个资源分类"_s);
    QVERIFY(messages.value(1).contains(u"MARBLEWAY_HOSTS"_s));
    QCOMPARE(m_env->server.requests().size(), 0);
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
