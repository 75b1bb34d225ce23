#pragma once

#include <string>
#include <vector>

#include "base/GbkCodec.h"
#include "base/Text.h"
#include "base/TextOps.h"
#include "check/MonitorPlan.h"

namespace lumo::test {

// Forum-board pages of our own for plan-processing tests and benchmarks: a header, a thread list
// table of one <tbody> per thread in the style of common forum software, and a footer, with CR LF
// line breaks. Header-only, so benchmarks can use it without the test libraries.
//
//   auto threads = BoardPage::threads(150, 50);       // ids 150 down to 101, newest first
//   Text gbkHtml = BoardPage::gbkPage(threads);
//   Bytes utf8Html = BoardPage::utf8Page(threads);
//   MonitorPlan plan = BoardPage::plan(url, true);      // reads such a page
class BoardPage {
public:
    struct Thread {
        int id = 0;
        Text title;  // GBK
    };

    // `count` threads with ids from `newestId` downwards, newest first. Titles are Chinese, unique
    // and none is part of another.
    static std::vector<Thread> threads(int newestId, int count) {
        std::vector<Thread> list;
        for (int i = 0; i < count; ++i) list.push_back(thread(newestId - i));
        return list;
    }

    static Thread thread(int id) {
        static const char* const topics[] = {"周末去哪里玩？", "求推荐一本好书", "今天的晚饭",
                                             "新手报到，请多关照", "关于论坛规则的讨论"};
        return {id, gbk("第") + textOfInteger(id) + gbk("号帖：") + gbk(topics[id % 5])};
    }

    // The page in GBK. `paddingPerThread` adds about that many bytes of hidden preview markup to
    // each thread, for pages of realistic size.
    static Text gbkPage(const std::vector<Thread>& threads, std::size_t paddingPerThread = 0,
                        const char* charset = "gbk") {
        Text page = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"" + Text(charset) +
                    "\">\r\n<title>" + gbk("鲁莫测试论坛 - 休闲灌水") +
                    "</title>\r\n</head>\r\n<body>\r\n<div id=\"hd\"><a href=\"forum.php\">" +
                    gbk("论坛首页") + "</a> &rsaquo; <a href=\"forum-12-1.html\">" +
                    gbk("休闲灌水") + "</a></div>\r\n" + kListStart + "\r\n";
        for (const Thread& t : threads) {
            const Text id = textOfInteger(t.id);
            const Text uid = textOfInteger(1000 + t.id % 37);
            page += "<tbody id=\"normalthread_" + id +
                    "\">\r\n<tr>\r\n<td class=\"icn\"><a href=\"thread-" + id +
                    "-1-1.html\" title=\"" + gbk("新窗口打开") +
                    "\" target=\"_blank\"><img src=\"static/image/common/folder_common.gif\" "
                    "/></a></td>\r\n<th class=\"common\">\r\n<a href=\"thread-" +
                    id + "-1-1.html\" onclick=\"atarget(this)\" class=\"s xst\">" + t.title +
                    "</a>\r\n</th>\r\n<td class=\"by\">\r\n<cite><a href=\"space-uid-" + uid +
                    ".html\" c=\"1\">" + gbk("用户") + uid +
                    "</a></cite>\r\n<em><span>2014-11-5</span></em>\r\n</td>\r\n<td "
                    "class=\"num\"><a href=\"thread-" +
                    id + "-1-1.html\" class=\"xi2\">" + textOfInteger(t.id % 17) + "</a><em>" +
                    textOfInteger(t.id * 7 % 1000) + "</em></td>\r\n</tr>\r\n";
            if (paddingPerThread > 0) page += padding(paddingPerThread);
            page += "</tbody>\r\n";
        }
        page += Text(kListEnd) + "\r\n<div id=\"ft\">" + gbk("版权所有 鲁莫测试论坛") +
                "</div>\r\n</body>\r\n</html>\r\n";
        return page;
    }

    // The same page in UTF-8.
    static Bytes utf8Page(const std::vector<Thread>& threads, std::size_t paddingPerThread = 0) {
        return gbkToUtf8(gbkPage(threads, paddingPerThread, "utf-8"));
    }

    // The page in UTF-8, its padding chosen so that it comes to about `bytes` (a page the size of
    // a real board's, for benchmarks).
    static Bytes utf8PageOfSize(const std::vector<Thread>& threads, std::size_t bytes) {
        std::size_t paddingPerThread = 4000;
        Bytes built = utf8Page(threads, paddingPerThread);
        for (int round = 0; round < 4; ++round) {
            paddingPerThread = paddingPerThread * bytes / built.size();
            built = utf8Page(threads, paddingPerThread);
        }
        return built;
    }

    // The pattern's groups: 1 the thread's relative address, 2 its id, 3 its title, 4 the author.
    static constexpr const char* kPattern =
        "<a href=\"(thread-(\\d+)-1-1\\.html)\" onclick=\"atarget\\(this\\)\" class=\"s "
        "xst\">(.*?)</a>.*?<cite><a href=\"space-uid-\\d+\\.html\" c=\"1\">(.*?)</a>";
    static constexpr const char* kListStart =
        "<table summary=\"forum_12\" id=\"threadlisttableid\">";
    static constexpr const char* kListEnd = "</table>";
    static constexpr const char* kSite = "http://bbs.example.test/";

    // A plan that reads these pages at `url`: title group 3, id group 2, spare value the author,
    // addresses composed from the site and group 1.
    static MonitorPlan plan(const Text& url, bool gbkPage, const Text& type = "0") {
        MonitorPlan p;
        p[MonitorPlan::code] = gbkPage ? "1" : "0";
        p[MonitorPlan::name] = gbk("测试论坛_休闲灌水");
        p[MonitorPlan::url] = url;
        p[MonitorPlan::ua] = "Mozilla/5.0 (X11; Linux x86_64) LumoTest/1.0";
        p[MonitorPlan::buquan] = Text(kSite) + "[1]";
        p[MonitorPlan::regular] = kPattern;
        p[MonitorPlan::before] = kListStart;
        p[MonitorPlan::after] = kListEnd;
        p[MonitorPlan::tindex] = "3";
        p[MonitorPlan::uindex] = "2";
        p[MonitorPlan::oindex] = "4";
        p[MonitorPlan::isdo] = "1";
        p[MonitorPlan::type] = type;
        return p;
    }

private:
    static Text padding(std::size_t bytes) {
        static const Text sentence =
            gbk("这是帖子的预览内容，用来让页面的大小接近真实的论坛页面。") +
            "<a href=\"misc.php?mod=faq\">faq</a> ";
        Text out = "<tr class=\"preview\" style=\"display:none\"><td colspan=\"4\">";
        while (out.size() < bytes) out += sentence;
        out += "</td></tr>\r\n";
        return out;
    }
};

}  // namespace lumo::test
