// The platform's JSON: request body bytes, the text of reply values, the
// compact text shown for failures, and how a reply is judged.
#include "platformjson.h"
#include "transport.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Members = std::vector<RequestMember>;

class TestPlatformJson : public QObject
{
    Q_OBJECT
private slots:
    void bodyText_data();
    void bodyText();
    void textOfAValue_data();
    void textOfAValue();
    void compactText_data();
    void compactText();
    void replyJudgement_data();
    void replyJudgement();
    void credentialsInAFailureAreHidden_data();
    void credentialsInAFailureAreHidden();
};

void TestPlatformJson::bodyText_data()
{
    QTest::addColumn<Members>("members");
    QTest::addColumn<QByteArray>("expected");

    const auto one = [](const QString& text) { return Members{{u"Nome"_s, text}}; };
    const auto body = [](const QByteArray& value) { return "{\r\n \"Nome\": " + value + "\r\n}"; };

    QTest::newRow("no members") << Members{} << QByteArray("{}");
    QTest::newRow("members in the order put, comma after all but the last")
        << Members{{u"b"_s, u"1"_s}, {u"a"_s, true}, {u"c"_s, false}}
        << QByteArray("{\r\n \"b\": \"1\",\r\n \"a\": true,\r\n \"c\": false\r\n}");
    QTest::newRow("a name put again keeps its place")
        << Members{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}, {u"a"_s, true}}
        << QByteArray("{\r\n \"a\": true,\r\n \"b\": \"2\"\r\n}");
    QTest::newRow("empty text is sent") << one(QString()) << body("\"\"");
    QTest::newRow("c cedilla and a tilde")
        << one(u"Ação Çã"_s) << body("\"A\\u00e7\\u00e3o \\u00c7\\u00e3\"");
    QTest::newRow("quotation mark") << one(u"Diz \"oi\""_s) << body("\"Diz \\\"oi\\\"\"");
    QTest::newRow("solidus and reverse solidus") << one(u"a/b\\c"_s) << body("\"a\\/b\\\\c\"");
    QTest::newRow("line breaks") << one(u"a\r\nb\nc"_s) << body("\"a\\r\\nb\\nc\"");
    QTest::newRow("tab, backspace, form feed") << one(u"\t\b\f"_s) << body("\"\\t\\b\\f\"");
    QString controls;
    for (char16_t c = 0; c < 0x20; ++c)
        controls += QChar(c);
    QTest::newRow("U+0000 to U+001F")
        << one(controls)
        << body("\"\\u0000\\u0001\\u0002\\u0003\\u0004\\u0005\\u0006\\u0007\\b\\t\\n\\u000b\\f\\r"
                "\\u000e\\u000f\\u0010\\u0011\\u0012\\u0013\\u0014\\u0015\\u0016\\u0017\\u0018"
                "\\u0019\\u001a\\u001b\\u001c\\u001d\\u001e\\u001f\"");
    QTest::newRow("printable ASCII and DEL stay, U+0080 up is escaped")
        << one(u" ~\x7f"_s + QChar(0x80) + QChar(0xff) + QChar(0xffff))
        << body("\" ~\x7f\\u0080\\u00ff\\uffff\"");
    QTest::newRow("emoji: a surrogate pair") << one(u"😀"_s) << body("\"\\ud83d\\ude00\"");
    QTest::newRow("names are escaped too")
        << Members{{u"Raz/ão"_s, u"x"_s}} << QByteArray("{\r\n \"Raz\\/\\u00e3o\": \"x\"\r\n}");
}

void TestPlatformJson::bodyText()
{
    QFETCH(Members, members);
    QFETCH(QByteArray, expected);
    const QString text = RequestObject(members).bodyText();
    QCOMPARE(text.toUtf8(), expected);
    QCOMPARE(text.toLatin1(), expected); // pure ASCII: one byte per character
}

void TestPlatformJson::textOfAValue_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");

    QTest::newRow("string: escapes resolved")
        << QByteArray(R"("a\/b\n\u00e7\ud83d\ude00\"")") << u"a/b\nç😀\""_s;
    QTest::newRow("string: UTF-8 ação") << QByteArray("\"a\xc3\xa7\xc3\xa3o\"") << u"ação"_s;
    QTest::newRow("null") << QByteArray("null") << u"null"_s;
    QTest::newRow("true") << QByteArray("true") << u"true"_s;
    QTest::newRow("false") << QByteArray("false") << u"false"_s;
    QTest::newRow("integer 57") << QByteArray("57") << u"57"_s;
    QTest::newRow("negative integer") << QByteArray("-3") << u"-3"_s;
    QTest::newRow("largest unsigned")
        << QByteArray("18446744073709551615") << u"18446744073709551615"_s;
    QTest::newRow("fraction") << QByteArray("1.5") << u"1.5"_s;
    QTest::newRow("large number: decimal, no exponent")
        << QByteArray("1e20") << u"100000000000000000000"_s;
    QTest::newRow("small number: decimal, no exponent") << QByteArray("2.5E-7") << u"0.00000025"_s;
    QTest::newRow("object: compact text")
        << QByteArray(R"({ "a" : [ 1 , "x/y" ], "b": null })") << uR"({"a":[1,"x\/y"],"b":null})"_s;
    QTest::newRow("array: compact text") << QByteArray(R"([true, "\u00e7"])") << u"[true,\"ç\"]"_s;
}

void TestPlatformJson::textOfAValue()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    QCOMPARE(jsonText(Json::parse(json.cbegin(), json.cend())), expected);
}

void TestPlatformJson::compactText_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no spaces or line breaks between members, order kept")
        << QByteArray("{\r\n \"z\" : 1,\n\t\"a\" : [ ],\n \"m\" : { \"k\" : false } }")
        << uR"({"z":1,"a":[],"m":{"k":false}})"_s;
    QTest::newRow("only quotation mark, reverse solidus, solidus and U+0000 escaped")
        << QByteArray(R"({"q":"diz \"oi\" \\ a/b","z":"\u0000","c":"\u0001\t","n":"l1\nl2"})")
        << u"{\"q\":\"diz \\\"oi\\\" \\\\ a\\/b\",\"z\":\"\\u0000\",\"c\":\"\u0001\t\","
           "\"n\":\"l1\nl2\"}"_s;
    QTest::newRow("letters outside ASCII as themselves, names too")
        << QByteArray(R"({"a\u00e7\u00e3o":"\u00e7\ud83d\ude00"})") << u"{\"ação\":\"ç😀\"}"_s;
    QTest::newRow("numbers") << QByteArray("[57,-1,0.1,1e21]")
                             << u"[57,-1,0.1,1000000000000000000000]"_s;
}

void TestPlatformJson::compactText()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    QCOMPARE(::compactText(Json::parse(json.cbegin(), json.cend())), expected);
}

void TestPlatformJson::replyJudgement_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("failureText"); // when no success
    QTest::addColumn<QString>("id");          // text of "_dados" "id", "" without "_dados"

    const QString noData = u"A plataforma informou sucesso, mas a resposta não traz os dados do "
                           "registro (\"_dados\"):\r"_s;
    const QString notJson = u"A resposta da plataforma não está no formato JSON:\r"_s;

    QTest::newRow("sucesso") << QByteArray(R"({"_status":"sucesso","_dados":{"id":"A1"}})") << true
                             << QString() << u"A1"_s;
    QTest::newRow("sucesso: id 57 is the digits")
        << QByteArray(R"({"_status":"sucesso","_dados":{"id":57}})") << true << QString()
        << u"57"_s;
    QTest::newRow("sucesso: id null is the word")
        << QByteArray(R"({"_status":"sucesso","_dados":{"id":null}})") << true << QString()
        << u"null"_s;
    QTest::newRow("sucesso: a missing id is empty")
        << QByteArray(R"({"_status":"sucesso","_dados":{}})") << true << QString() << QString();
    QTest::newRow("sucesso: UTF-8 ação decoded")
        << QByteArray("{\"_status\":\"sucesso\",\"_dados\":{\"id\":\"a\xc3\xa7\xc3\xa3o\"}}")
        << true << QString() << u"ação"_s;

    QTest::newRow("Sucesso with a capital S")
        << QByteArray(R"({"_status": "Sucesso", "_dados": {"id": 1}})") << false
        << uR"({"_status":"Sucesso","_dados":{"id":1}})"_s << u"1"_s;
    QTest::newRow("sucesso with a trailing blank")
        << QByteArray(R"({"_status":"sucesso ","_dados":{}})") << false
        << uR"({"_status":"sucesso ","_dados":{}})"_s << QString();
    QTest::newRow("no _status") << QByteArray(R"({"_dados":{"id":1}})") << false
                                << uR"({"_dados":{"id":1}})"_s << u"1"_s;
    QTest::newRow("_status true") << QByteArray(R"({"_status":true})") << false
                                  << uR"({"_status":true})"_s << QString();
    QTest::newRow("an array, not an object")
        << QByteArray(R"(["sucesso"])") << false << uR"(["sucesso"])"_s << QString();
    QTest::newRow("a bare text") << QByteArray(R"("sucesso")") << false << uR"("sucesso")"_s
                                 << QString();
    QTest::newRow("failure: solidus escaped, ç and line break as themselves")
        << QByteArray(R"({"_status": "erro",
  "_mensagem": "CNPJ/CPF inv\u00e1lido\nverifique"})")
        << false << u"{\"_status\":\"erro\",\"_mensagem\":\"CNPJ\\/CPF inválido\nverifique\"}"_s
        << QString();

    QTest::newRow("sucesso without _dados") << QByteArray(R"({"_status":"sucesso"})") << false
                                            << noData + uR"({"_status":"sucesso"})"_s << QString();
    QTest::newRow("sucesso with _dados an array")
        << QByteArray(R"({"_status":"sucesso","_dados":[{"id":1}]})") << false
        << noData + uR"({"_status":"sucesso","_dados":[{"id":1}]})"_s << QString();
    QTest::newRow("sucesso with _dados null")
        << QByteArray(R"({"_status":"sucesso","_dados":null})") << false
        << noData + uR"({"_status":"sucesso","_dados":null})"_s << QString();

    QTest::newRow("empty body") << QByteArray() << false
                                << u"A plataforma enviou uma resposta vazia."_s << QString();
    QTest::newRow("not JSON") << QByteArray("<html><b>Erro 500</b></html>") << false
                              << notJson + u"<html><b>Erro 500</b></html>"_s << QString();
    QTest::newRow("JSON followed by more text")
        << QByteArray(R"({"_status":"sucesso","_dados":{}} ok)") << false
        << notJson + uR"({"_status":"sucesso","_dados":{}} ok)"_s << QString();
    QTest::newRow("not UTF-8") << QByteArray(
                                      "{\"_status\":\"sucesso\",\"_dados\":{\"id\":\"\xff\"}}")
                               << false
                               << u"A resposta da plataforma não é um texto UTF-8 válido:\r"
                                  "{\"_status\":\"sucesso\",\"_dados\":{\"id\":\"\uFFFD\"}}"_s
                               << QString();
    QTest::newRow("a long text is cut")
        << QByteArray(2000, 'x') << false << notJson + QString(500, u'x') + u'…' << QString();
    QTest::newRow("nested too deep to follow")
        << QByteArray(100000, '[') + QByteArray(100000, ']') << false
        << u"A resposta da plataforma tem níveis demais para ser lida:\r"_s + QString(500, u'[') +
               u'…'
        << QString();
}

void TestPlatformJson::replyJudgement()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, success);
    QFETCH(QString, failureText);
    QFETCH(QString, id);

    const PlatformReply reply(body);
    QCOMPARE(reply.isSuccess(), success);
    if (!success)
        QCOMPARE(reply.failureText(), failureText);
    QCOMPARE(reply.dataText("id"), id);
}

// A reply may repeat what was sent: the agreement's API secret echoed in
// "_dados", the token quoted in a message, a proxy's page that shows the
// request. None of it reaches the failure text; other members stay.
void TestPlatformJson::credentialsInAFailureAreHidden_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("failureText");

    const QByteArray token = softwareHouseToken;
    const QString notJson = u"A resposta da plataforma não está no formato JSON:\r"_s;

    QTest::newRow("agreement echoed under a capital Sucesso")
        << QByteArray(R"({"_status":"Sucesso","_dados":{"id":3,"ConvenioApiKey":"chave",)"
                      R"("ConvenioApiSecret":"s3gr3d0","token_cedente":"0f3a"}})")
        << uR"({"_status":"Sucesso","_dados":{"id":3,"ConvenioApiKey":"chave",)"
           uR"("ConvenioApiSecret":"***","token_cedente":"0f3a"}})"_s;
    QTest::newRow("any case, any depth, any type")
        << QByteArray(R"({"_status":"erro","erros":[{"campo":"x","SENHA":1234,)"
                      R"("api_secret":{"v":"s3gr3d0"},"Password":null}]})")
        << uR"({"_status":"erro","erros":[{"campo":"x","SENHA":"***","api_secret":"***",)"
           uR"("Password":"***"}]})"_s;
    QTest::newRow("the token quoted in a message")
        << "{\"_status\":\"erro\",\"_mensagem\":\"token-sh " + token + " expirado\"}"
        << uR"({"_status":"erro","_mensagem":"token-sh *** expirado"})"_s;
    QTest::newRow("the token as a member, sucesso without _dados")
        << "{\"_status\":\"sucesso\",\"token-sh\":\"" + token + "\"}"
        << u"A plataforma informou sucesso, mas a resposta não traz os dados do registro "
           "(\"_dados\"):\r{\"_status\":\"sucesso\",\"token-sh\":\"***\"}"_s;
    QTest::newRow("a page that repeats headers and body")
        << "<pre>cnpj-sh: 58204617000290\r\ntoken-sh: " + token +
               "\r\n\r\n{\r\n \"ConvenioApiSecret\": \"s3\\\"gr3d0\",\r\n \"Conta\": "
               "\"7\"\r\n}</pre>"
        << notJson + u"<pre>cnpj-sh: 58204617000290\r\ntoken-sh: ***\r\n\r\n{\r\n "
                     "\"ConvenioApiSecret\": \"***\",\r\n \"Conta\": \"7\"\r\n}</pre>"_s;
    QTest::newRow("a secret that runs past the part shown")
        << QByteArray(450, ' ') + "\"ConvenioApiSecret\": \"" + QByteArray(6000, 's') + "\"}"
        << notJson + QString(450, u' ') + u"\"ConvenioApiSecret\": \"***\"…"_s;
    QTest::newRow("a text that is not UTF-8")
        << "\xff token-sh=" + token
        << u"A resposta da plataforma não é um texto UTF-8 válido:\r"
           "\uFFFD token-sh=***"_s;
}

void TestPlatformJson::credentialsInAFailureAreHidden()
{
    QFETCH(QByteArray, body);
    const PlatformReply reply(body);
    QVERIFY(!reply.isSuccess());
    QTEST(reply.failureText(), "failureText");
}

QTEST_GUILESS_MAIN(TestPlatformJson)
#include "tst_platformjson.moc"
