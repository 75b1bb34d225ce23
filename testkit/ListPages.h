#pragma once

#include <string>
#include <vector>

#include "base/GbkCodec.h"
#include "base/Text.h"
#include "base/TextOps.h"

namespace lumo::test {

// List pages of our own in the shapes of common forum, community, news and blog software, for
// the plan suggestion's tests and benchmark. Each page knows its articles (title as the page's
// source shows it, trimmed; absolute address), so a test can tell how much of the list a plan
// finds. Every page carries what makes suggesting hard: navigation bars, pagers, user links,
// several links per article, pinned articles and a second, shorter list beside the main one.
//
//   ListPage page = ListPages::discuz("http://127.0.0.1:8080", 40, true);
//   server.page(page.path, page.body, page.contentType);
//
// Header-only, so benchmarks can use it without the test libraries.
struct ListPage {
    struct Article {
        Text title;    // GBK
        Text address;  // absolute
    };
    Text path;  // where the page is served, below the site
    Bytes body;
    std::string contentType;  // as served
    std::vector<Article> articles;
};

class ListPages {
public:
    // A Chinese title, unique for each n.
    static Text chineseTitle(int n) {
        static const char* const kSubjects[] = {
            "路由器设置", "周末骑行路线", "家常红烧肉做法", "旧笔记本升级内存", "孩子学编程",
            "阳台种番茄", "租房避坑经验", "老相机修复",     "冬季自驾川西",     "读书会书单"};
        static const char* const kKinds[] = {"求助：", "分享：", "讨论：", "", "【经验】"};
        return gbk(kKinds[n % 5]) + gbk(kSubjects[n % 10]) + gbk("的问题（第") + textOfInteger(n) +
               gbk("篇）");
    }

    static Text englishTitle(int n) {
        static const char* const kWords[] = {"Notes on", "Why I switched to", "A week with",
                                             "Lessons from", "Fixing"};
        static const char* const kThings[] = {"a slow build", "paper notebooks", "home servers",
                                              "sourdough",    "old bicycles",    "tiny gardens"};
        return Text(kWords[n % 5]) + " " + kThings[n % 6] + ", part " + textOfInteger(n);
    }

    // A board in the style of a widely used PHP forum: a thread table of one <tbody> per thread,
    // pinned threads first, then a separator row; per thread an icon link, the title link (some
    // coloured with an extra style attribute, some with a type label or page links), the author,
    // the reply count link and the last post link. Static thread addresses (thread-N-1-1.html)
    // in GBK, or dynamic ones (forum.php?mod=viewthread&amp;tid=N) in UTF-8. CR LF line breaks.
    // `newestId` is the first normal thread's; later pages of the board start higher. A board
    // sorted by last reply shows its threads' ids out of order.
    static ListPage discuz(const Text& site, int threads, bool gbkPage, int newestId = 9000,
                           bool byLastReply = false) {
        ListPage page;
        page.path = "/bbs/forum-2-1.html";
        const Text charset = gbkPage ? "gbk" : "utf-8";
        page.contentType = "text/html; charset=" + charset;
        Text html =
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\r\n<html>"
            "\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
            charset + "\" />\r\n<title>" + gbk("灌水乐园 - 鲁莫社区") +
            "</title>\r\n</head>\r\n<body id=\"nv_forum\">\r\n";
        html += "<div id=\"toptb\"><a href=\"member.php?mod=register\">" + gbk("注册") +
                "</a> <a href=\"member.php?mod=logging&amp;action=login\">" + gbk("登录") +
                "</a></div>\r\n<div id=\"nv\"><ul>";
        const char* const boards[] = {"论坛",     "灌水乐园", "数码天地",
                                      "旅游休闲", "美食厨房", "二手市场"};
        for (int b = 0; b < 6; ++b) {
            html += "<li><a href=\"forum-" + textOfInteger(b + 1) +
                    "-1.html\" hidefocus=\"true\">" + gbk(boards[b]) + "</a></li>";
        }
        html += "</ul></div>\r\n<div id=\"pt\" class=\"bm cl\"><a href=\"./\" class=\"nvhm\">" +
                gbk("首页") + "</a> <em>&rsaquo;</em> <a href=\"forum-2-1.html\">" +
                gbk("灌水乐园") +
                "</a></div>\r\n<div id=\"ct\" class=\"wp cl\">\r\n<div class=\"mn\">"
                "\r\n<div id=\"pgt\" class=\"bm bw0 pgs cl\"><div class=\"pg\"><strong>1</strong>";
        for (int p = 2; p <= 6; ++p) {
            html +=
                "<a href=\"forum-2-" + textOfInteger(p) + ".html\">" + textOfInteger(p) + "</a>";
        }
        html +=
            "<a href=\"forum-2-2.html\" class=\"nxt\">" + gbk("下一页") +
            "</a></div></div>\r\n<div id=\"threadlist\" class=\"tl bm bmw\">\r\n<form "
            "method=\"post\" name=\"moderate\" id=\"moderate\" action=\"forum.php?mod=topicadmin\">"
            "\r\n<table summary=\"forum_2\" cellspacing=\"0\" cellpadding=\"0\" "
            "id=\"threadlisttableid\">\r\n";
        const Text base = site + "/bbs/";
        const auto address = [&](int id) {
            return gbkPage ? "thread-" + textOfInteger(id) + "-1-1.html"
                           : "forum.php?mod=viewthread&amp;tid=" + textOfInteger(id) +
                                 "&amp;extra=page%3D1";
        };
        const auto absolute = [&](int id) {
            return base + (gbkPage ? "thread-" + textOfInteger(id) + "-1-1.html"
                                   : "forum.php?mod=viewthread&tid=" + textOfInteger(id) +
                                         "&extra=page%3D1");
        };
        const int pinned = 3;
        for (int i = 0; i < pinned + threads; ++i) {
            const bool sticky = i < pinned;
            const int place = byLastReply ? (i - pinned) * 7 % threads : i - pinned;
            const int id = sticky ? 120 + i * 7 : newestId - place * 3;
            const Text title = chineseTitle(id);
            page.articles.push_back({title, absolute(id)});
            const Text link = address(id);
            const Text uid = textOfInteger(1000 + id % 41);
            if (i == pinned) {
                html +=
                    "<tbody id=\"separatorline\" class=\"emptb\"><tr class=\"ts\"><td>&nbsp;"
                    "</td><th><a href=\"javascript:;\" onclick=\"hideStickThread()\">" +
                    gbk("版块主题") + "</a></th><td>&nbsp;</td></tr></tbody>\r\n";
            }
            html += Text("<tbody id=\"") + (sticky ? "stickthread_" : "normalthread_") +
                    textOfInteger(id) + "\">\r\n<tr>\r\n<td class=\"icn\">\r\n<a href=\"" + link +
                    "\" title=\"" +
                    gbk(sticky ? "本版置顶主题 - 新窗口打开" : "有新回复 - 新窗口打开") +
                    "\" target=\"_blank\">\r\n<img src=\"static/image/common/" +
                    (sticky ? "pin_1.gif" : "folder_new.gif") +
                    "\" />\r\n</a>\r\n</td>\r\n"
                    "<th class=\"common\">\r\n";
            if (id % 4 == 1) {
                html += "<em>[<a href=\"forum.php?mod=forumdisplay&amp;fid=2&amp;typeid=" +
                        textOfInteger(id % 3 + 1) + "\">" + gbk(id % 2 ? "闲聊" : "求助") +
                        "</a>]</em> ";
            }
            html += "<a href=\"" + link + "\"" + (id % 5 == 2 ? " style=\"color: #EE1B2E;\"" : "") +
                    " onclick=\"atarget(this)\" class=\"s xst\">" + title + "</a>\r\n";
            if (id % 3 == 0) {
                html += "<span class=\"tps\">&nbsp;...<a href=\"thread-" + textOfInteger(id) +
                        "-2-1.html\">2</a><a href=\"thread-" + textOfInteger(id) +
                        "-3-1.html\">3</a></span>\r\n";
            }
            html += "</th>\r\n<td class=\"by\">\r\n<cite>\r\n<a href=\"space-uid-" + uid +
                    ".html\" c=\"1\">" + gbk("网友") + uid + "</a></cite>\r\n<em><span>2024-5-" +
                    textOfInteger(1 + id % 28) +
                    "</span></em>\r\n</td>\r\n<td class=\"num\"><a href=\"" + link +
                    "\" class=\"xi2\">" + textOfInteger(id % 97) + "</a><em>" +
                    textOfInteger(id * 13 % 5000) +
                    "</em></td>\r\n<td class=\"by\">\r\n<cite><a "
                    "href=\"space-username-user" +
                    textOfInteger(id % 17) + ".html\" c=\"1\">user" + textOfInteger(id % 17) +
                    "</a></cite>\r\n<em><a href=\"forum.php?mod=redirect"
                    "&amp;tid=" +
                    textOfInteger(id) + "&amp;goto=lastpost#lastpost\">2024-6-" +
                    textOfInteger(1 + id % 28) + " 12:" + textOfInteger(10 + id % 50) +
                    "</a></em>\r\n</td>\r\n</tr>\r\n</tbody>\r\n";
        }
        html +=
            "</table>\r\n</form>\r\n</div>\r\n<div class=\"pgs\"><div class=\"pg\">"
            "<strong>1</strong><a href=\"forum-2-2.html\">2</a></div></div>\r\n</div>\r\n"
            "<div class=\"sd\">\r\n<div class=\"bm\"><h2>" +
            gbk("本周热帖") + "</h2>\r\n<ul class=\"xl xl1\">\r\n";
        for (int i = 0; i < 6; ++i) {
            const int id = newestId - 3 * (5 + 2 * i);
            html += "<li><a href=\"" + address(id) + "\" target=\"_blank\">" + chineseTitle(id) +
                    "</a></li>\r\n";
        }
        html += "</ul>\r\n</div>\r\n</div>\r\n</div>\r\n<div id=\"ft\" class=\"wp cl\">" +
                gbk("版权所有 鲁莫社区") +
                " <a href=\"archiver/\">Archiver</a></div>\r\n"
                "</body>\r\n</html>\r\n";
        page.body = gbkPage ? html : gbkToUtf8(html);
        return page;
    }

    // A topic list in the style of a Node.js community site: single-quoted attributes beside
    // double-quoted ones, titles wrapped in line breaks and spaces, 24-digit hexadecimal ids, an
    // avatar link and a last-reply link per topic, pinned topics, tabs, and a shorter list of
    // unanswered topics in the sidebar. UTF-8, LF line breaks.
    static ListPage nodeClub(const Text& site, int topics) {
        ListPage page;
        page.path = "/?tab=all";
        page.contentType = "text/html; charset=utf-8";
        Text html =
            "<!DOCTYPE html>\n<html xmlns='http://www.w3.org/1999/xhtml'>\n<head>\n"
            "  <meta charset='utf-8'/>\n  <title>" +
            gbk("鲁莫技术社区") +
            "</title>\n</head>\n<body>\n<div class='navbar'>\n  <div class='navbar-inner'>\n"
            "    <a class='brand' href='/'>Lumo</a>\n    <ul class='nav pull-right'>\n";
        const char* const menu[][2] = {{"/", "首页"},
                                       {"/getstart", "新手入门"},
                                       {"/api", "API"},
                                       {"/about", "关于"},
                                       {"/signup", "注册"}};
        for (const auto& item : menu) {
            html += "      <li><a href='" + Text(item[0]) + "'>" + gbk(item[1]) + "</a></li>\n";
        }
        html +=
            "    </ul>\n  </div>\n</div>\n<div id='main'>\n<div id='content'>\n"
            "<div class='panel'>\n  <div class='header'>\n";
        const char* const tabs[] = {"all", "good", "share", "ask", "job"};
        for (const char* tab : tabs) {
            html +=
                "    <a href='/?tab=" + Text(tab) + "' class='topic-tab'>" + Text(tab) + "</a>\n";
        }
        html += "  </div>\n  <div class='inner no-padding'>\n    <div id=\"topic_list\">\n";
        for (int i = 0; i < topics; ++i) {
            const Text id = hexId(5000 - i);
            const Text title = i % 3 == 0 ? englishTitle(i) : chineseTitle(i + 300);
            page.articles.push_back({title, site + "/topic/" + id});
            const Text user = "user" + textOfInteger(i % 13);
            html +=
                "<div class='cell'>\n\n  <a class=\"user_avatar pull-left\" href=\"/user/" + user +
                "\">\n    <img src=\"/public/images/avatar/" + user + ".png\" title=\"" + user +
                "\"/>\n  </a>\n\n  <span class=\"reply_count pull-left\">\n    <span "
                "class=\"count_of_replies\" title=\"" +
                gbk("回复数") + "\">\n      " + textOfInteger(i % 40) +
                "\n    </span>\n    <span class=\"count_seperator\">/"
                "</span>\n    <span class=\"count_of_visits\" title='" +
                gbk("点击数") +
                "'>\n"
                "      " +
                textOfInteger(100 + i * 37) +
                "\n    </span>\n  </span>\n\n"
                "  <a class='last_time pull-right' href=\"/topic/" +
                id + "#" + hexId(9000 + i) +
                "\">\n    <img class=\"user_small_avatar\" src=\"/public/images/avatar/u.png\">\n"
                "    <span class=\"last_active_time\">" +
                textOfInteger(1 + i % 9) + gbk(" 小时前") +
                "</span>\n  </a>\n\n  <div class=\"topic_title_wrapper\">\n";
            if (i < 2) {
                html += "    <span class='put_top'>" + gbk("置顶") + "</span>\n";
            } else {
                html += "    <span class=\"topiclist-tab\">" + gbk(i % 2 ? "分享" : "问答") +
                        "</span>\n";
            }
            html += "    <a class='topic_title' href='/topic/" + id + "' title='" + title +
                    "'>\n      " + title + "\n    </a>\n  </div>\n</div>\n";
        }
        html += "    </div>\n    <div class='pagination' current_page='1'>\n      <ul>\n";
        for (int p = 1; p <= 5; ++p) {
            html += "        <li><a href='/?tab=all&page=" + textOfInteger(p) + "'>" +
                    textOfInteger(p) + "</a></li>\n";
        }
        html +=
            "      </ul>\n    </div>\n  </div>\n</div>\n</div>\n<div id='sidebar'>\n"
            "<div class='panel'>\n  <div class='header'>\n    <span class='col_fade'>" +
            gbk("无人回复的话题") +
            "</span>\n  </div>\n  <div class='inner'>\n"
            "    <ul class=\"unstyled\">\n";
        for (int i = 0; i < 5; ++i) {
            html += "      <li>\n        <div class='trim_title'>\n          <a href='/topic/" +
                    hexId(7000 + i) + "'>" + chineseTitle(700 + i) +
                    "</a>\n        </div>\n      </li>\n";
        }
        html +=
            "    </ul>\n  </div>\n</div>\n</div>\n</div>\n<div id='footer'>\n"
            "  <a href='/about'>about</a>\n</div>\n</body>\n</html>\n";
        page.body = gbkToUtf8(html);
        return page;
    }

    // A forum view in the style of a long-lived PHP board: announcements in a box of their own
    // above the topics, topic links "./viewtopic.php?f=2&amp;t=N" relative to the forum's
    // folder, authors and last posts per topic, pagers above and below. UTF-8, LF line breaks.
    // The page's articles are the topics of the main box.
    static ListPage phpbb(const Text& site, int topics) {
        ListPage page;
        page.path = "/forum/viewforum.php?f=2";
        page.contentType = "text/html; charset=UTF-8";
        Text html =
            "<!DOCTYPE html>\n<html dir=\"ltr\" lang=\"zh-cmn-hans\">\n<head>\n"
            "<meta charset=\"utf-8\" />\n<title>" +
            gbk("闲聊灌水 - 鲁莫爱好者论坛") +
            "</title>\n</head>\n<body id=\"phpbb\" class=\"section-viewforum\">\n"
            "<div id=\"wrap\" class=\"wrap\">\n<div class=\"navbar\" role=\"navigation\">\n"
            "<ul id=\"nav-breadcrumbs\" class=\"nav-breadcrumbs linklist navlinks\">\n"
            "<li class=\"breadcrumbs\"><span class=\"crumb\"><a href=\"./index.php\">" +
            gbk("首页") + "</a></span><span class=\"crumb\"><a href=\"./viewforum.php?f=2\">" +
            gbk("闲聊灌水") +
            "</a></span></li>\n</ul>\n</div>\n<div id=\"page-body\" "
            "class=\"page-body\">\n<h2 class=\"forum-title\"><a href=\"./viewforum.php?f=2\">" +
            gbk("闲聊灌水") +
            "</a></h2>\n<div class=\"action-bar bar-top\">\n"
            "<div class=\"pagination\">\n<ul>\n";
        for (int p = 0; p < 4; ++p) {
            html += "<li><a class=\"button\" href=\"./viewforum.php?f=2&amp;start=" +
                    textOfInteger(p * 25) + "\" role=\"button\">" + textOfInteger(p + 1) +
                    "</a></li>\n";
        }
        html += "</ul>\n</div>\n</div>\n";
        const auto box = [&](const char* heading, int first, int count, bool main) {
            html +=
                Text("<div class=\"forumbg") + (main ? "" : " announcement") +
                "\">\n<div class=\"inner\">\n<ul class=\"topiclist\">\n<li class=\"header\"><dl "
                "class=\"row-item\"><dt><div class=\"list-inner\">" +
                gbk(heading) + "</div></dt></dl></li>\n</ul>\n<ul class=\"topiclist topics\">\n";
            for (int i = 0; i < count; ++i) {
                const int t = first - i;
                const Text title = i % 4 == 1 ? englishTitle(t) : chineseTitle(t);
                if (main) {
                    page.articles.push_back(
                        {title, site + "/forum/viewtopic.php?f=2&t=" + textOfInteger(t)});
                }
                const Text user = "member" + textOfInteger(t % 23);
                html +=
                    "\n<li class=\"row bg" + textOfInteger(1 + i % 2) +
                    "\">\n<dl class=\"row-item "
                    "topic_read\">\n<dt title=\"" +
                    gbk("没有未读帖子") +
                    "\">\n<div "
                    "class=\"list-inner\">\n<a href=\"./viewtopic.php?f=2&amp;t=" +
                    textOfInteger(t) + "\" class=\"topictitle\">" + title +
                    "</a>\n<br />\n"
                    "<div class=\"responsive-hide left-box\">\n" +
                    gbk("由") +
                    " <a href=\"./memberlist.php?mode=viewprofile&amp;u=" + textOfInteger(t % 23) +
                    "\" class=\"username\">" + user + "</a> &raquo; 2024-05-" +
                    textOfInteger(10 + t % 18) + "\n</div>\n</div>\n</dt>\n<dd class=\"posts\">" +
                    textOfInteger(t % 31) + " <dfn>" + gbk("回复") +
                    "</dfn></dd>\n<dd "
                    "class=\"views\">" +
                    textOfInteger(t * 3 % 900) + " <dfn>" + gbk("查阅") +
                    "</dfn></dd>\n<dd class=\"lastpost\">\n<span><dfn>" + gbk("最后帖子") +
                    " </dfn>" + gbk("由") +
                    " <a href=\"./memberlist.php?mode=viewprofile&amp;u=" + textOfInteger(t % 7) +
                    "\" class=\"username\">poster" + textOfInteger(t % 7) +
                    "</a>\n<a href=\"./viewtopic.php?f=2&amp;p=" + textOfInteger(t * 11) + "#p" +
                    textOfInteger(t * 11) + "\" title=\"" + gbk("跳转到最后一帖") +
                    "\"><i class=\"icon fa-external-link-square\"></i></a>\n<br />2024-06-0" +
                    textOfInteger(1 + t % 9) + "</span>\n</dd>\n</dl>\n</li>\n";
            }
            html += "</ul>\n</div>\n</div>\n";
        };
        box("公告", 12, 2, false);
        box("主题", 4800, topics, true);
        html +=
            "<div class=\"action-bar bar-bottom\">\n<div class=\"pagination\">\n<ul>\n<li><a "
            "class=\"button\" href=\"./viewforum.php?f=2&amp;start=25\">2</a></li>\n</ul>\n"
            "</div>\n</div>\n</div>\n<div id=\"page-footer\" class=\"page-footer\">"
            "<a href=\"./ucp.php?mode=privacy\">" +
            gbk("隐私") +
            "</a></div>\n</div>\n"
            "</body>\n</html>\n";
        page.body = gbkToUtf8(html);
        return page;
    }

    // A news channel's list page: declared gb2312 (and served so), a <base href> to the
    // channel's folder, links relative to it, the list in blocks of five <li> per <ul> with a
    // date beside each title, a pager, and a shorter "most read" list of the same kind of links
    // in a sidebar after the main list. CR LF line breaks.
    static ListPage newsList(const Text& site, int articles) {
        ListPage page;
        page.path = "/channel/index.shtml";
        page.contentType = "text/html; charset=gb2312";
        const Text base = site + "/news/";
        Text html =
            "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
            "charset=gb2312\">\r\n<base href=\"" +
            base + "\" />\r\n<title>" + gbk("国内新闻_鲁莫新闻网") +
            "</title>\r\n</head>\r\n<body>\r\n<div class=\"top\">"
            "<a href=\"/\">" +
            gbk("首页") + "</a> | <a href=\"/guonei/\">" + gbk("国内") +
            "</a> | <a href=\"/guoji/\">" + gbk("国际") + "</a> | <a href=\"/shehui/\">" +
            gbk("社会") + "</a> | <a href=\"/keji/\">" + gbk("科技") +
            "</a></div>\r\n"
            "<div class=\"wrap\">\r\n<div class=\"main\">\r\n<h1>" +
            gbk("国内新闻") + "</h1>\r\n<div class=\"list\">\r\n";
        for (int i = 0; i < articles; ++i) {
            const int id = 880000 - i * 9;
            const Text title = gbk("新闻：") + chineseTitle(id % 1000 + 1000 * (i % 2));
            page.articles.push_back({title, base + "a/" + textOfInteger(id) + ".html"});
            if (i % 5 == 0) html += "<ul class=\"list_ul\">\r\n";
            html += "<li><span class=\"time\">05-" + textOfInteger(10 + i % 18) + " " +
                    textOfInteger(10 + i % 12) + ":" + textOfInteger(10 + i % 49) +
                    "</span><a href=\"a/" + textOfInteger(id) + ".html\" target=\"_blank\">" +
                    title + "</a></li>\r\n";
            if (i % 5 == 4 || i + 1 == articles) html += "</ul>\r\n<div class=\"line\"></div>\r\n";
        }
        html +=
            "</div>\r\n<div class=\"pages\"><span>1</span> <a href=\"index_2.shtml\">2</a> "
            "<a href=\"index_3.shtml\">3</a> <a href=\"index_2.shtml\">" +
            gbk("下一页") + "</a></div>\r\n</div>\r\n<div class=\"side\">\r\n<h3>" +
            gbk("24小时排行") + "</h3>\r\n<ul class=\"rank\">\r\n";
        for (int i = 0; i < 8; ++i) {
            const int id = 870000 - i * 17;
            html += "<li><em>" + textOfInteger(i + 1) + "</em><a href=\"a/" + textOfInteger(id) +
                    ".html\" target=\"_blank\">" + gbk("热点：") + chineseTitle(id % 1000) +
                    "</a></li>\r\n";
        }
        html += "</ul>\r\n</div>\r\n</div>\r\n<div class=\"foot\">" + gbk("鲁莫新闻网 版权所有") +
                "</div>\r\n</body>\r\n</html>\r\n";
        page.body = html;
        return page;
    }

    // A blog's front page in the style of a common blogging engine: one <article> per post with
    // its title link in an <h2>, the same address again on the date, an author link, a
    // "continue reading" link, category and tag links; addresses absolute, of a date and a slug
    // without any id; a "recent posts" list in a sidebar <nav>. UTF-8, LF line breaks.
    static ListPage blog(const Text& site, int posts) {
        ListPage page;
        page.path = "/blog/";
        page.contentType = "text/html; charset=UTF-8";
        const Text root = site + "/blog/";
        Text html =
            "<!doctype html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"UTF-8\">\n"
            "<title>" +
            gbk("鲁莫的随笔 &#8211; 记录生活与技术") +
            "</title>\n</head>\n"
            "<body class=\"home blog\">\n<header id=\"masthead\" class=\"site-header\">\n"
            "<p class=\"site-title\"><a href=\"" +
            root + "\" rel=\"home\">" + gbk("鲁莫的随笔") +
            "</a></p>\n<nav id=\"site-navigation\" "
            "class=\"main-navigation\">\n<ul id=\"primary-menu\" class=\"menu\">\n";
        const char* const menu[][2] = {
            {"about/", "关于"}, {"archives/", "归档"}, {"links/", "友情链接"}, {"feed/", "订阅"}};
        for (const auto& item : menu) {
            html += "<li class=\"menu-item\"><a href=\"" + root + item[0] + "\">" + gbk(item[1]) +
                    "</a></li>\n";
        }
        html +=
            "</ul>\n</nav>\n</header>\n<div id=\"content\" class=\"site-content\">\n"
            "<main id=\"main\" class=\"site-main\">\n";
        std::vector<Text> addresses;
        for (int i = 0; i < posts; ++i) {
            const Text slug = slugOf(i);
            const Text day = textOfInteger(10 + (posts - i) % 18);
            const Text address = root + "2024/05/" + day + "/" + slug + "/";
            addresses.push_back(address);
            const Text title = i % 2 ? chineseTitle(i + 40) : englishTitle(i + 40);
            page.articles.push_back({title, address});
            const Text id = textOfInteger(900 - i);
            html += "\n<article id=\"post-" + id + "\" class=\"post-" + id +
                    " post type-post status-publish format-standard hentry\">\n"
                    "<header class=\"entry-header\">\n<h2 class=\"entry-title\"><a href=\"" +
                    address + "\" rel=\"bookmark\">" + title +
                    "</a></h2>\n<div class=\"entry-meta\">\n"
                    "<span class=\"posted-on\"><a href=\"" +
                    address +
                    "\" rel=\"bookmark\"><time "
                    "class=\"entry-date published\" datetime=\"2024-05-" +
                    day +
                    "T08:00:00+08:00\">"
                    "2024-05-" +
                    day +
                    "</time></a></span>\n<span class=\"byline\"><span "
                    "class=\"author vcard\"><a class=\"url fn n\" href=\"" +
                    root +
                    "author/lumo/\">lumo</a></span></span>\n</div>\n</header>\n"
                    "<div class=\"entry-content\">\n<p>" +
                    gbk("这是文章的摘要，讲一讲最近的一些想法。") + "</p>\n<p><a href=\"" +
                    address + "#more-" + id + "\" class=\"more-link\">" + gbk("继续阅读") +
                    "</a></p>\n</div>\n<footer class=\"entry-footer\">\n"
                    "<span class=\"cat-links\"><a href=\"" +
                    root + "category/" + (i % 2 ? "life/" : "tech/") + "\" rel=\"category tag\">" +
                    gbk(i % 2 ? "生活" : "技术") +
                    "</a></span>\n<span class=\"tags-links\"><a href=\"" + root +
                    "tag/notes/\" rel=\"tag\">notes</a></span>\n</footer>\n</article>\n";
        }
        html +=
            "\n<nav class=\"navigation pagination\"><div class=\"nav-links\"><span "
            "class=\"page-numbers current\">1</span>\n<a class=\"page-numbers\" href=\"" +
            root + "page/2/\">2</a>\n<a class=\"next page-numbers\" href=\"" + root + "page/2/\">" +
            gbk("下一页") +
            "</a></div></nav>\n</main>\n<aside id=\"secondary\" "
            "class=\"widget-area\">\n<section id=\"recent-posts-2\" class=\"widget "
            "widget_recent_entries\">\n<h2 class=\"widget-title\">" +
            gbk("近期文章") + "</h2>\n<nav aria-label=\"" + gbk("近期文章") + "\">\n<ul>\n";
        for (int i = 0; i < 5 && i < posts; ++i) {
            html += "<li>\n<a href=\"" + addresses[static_cast<std::size_t>(i)] + "\">" +
                    page.articles[static_cast<std::size_t>(i)].title + "</a>\n</li>\n";
        }
        html +=
            "</ul>\n</nav>\n</section>\n</aside>\n</div>\n<footer id=\"colophon\" "
            "class=\"site-footer\"><a href=\"" +
            root + "\">" + gbk("鲁莫的随笔") + "</a></footer>\n</body>\n</html>\n";
        page.body = gbkToUtf8(html);
        return page;
    }

    // A page of links that make no list: a few words and scattered links.
    static ListPage noList(const Text& site) {
        ListPage page;
        page.path = "/about.html";
        page.contentType = "text/html; charset=utf-8";
        page.body =
            gbkToUtf8("<html><head><title>" + gbk("关于我们") +
                      "</title></head><body>"
                      "<h1>" +
                      gbk("关于我们") + "</h1><p>" + gbk("联系方式见") +
                      " <a href=\"/contact.html\">" + gbk("这里") + "</a>" + gbk("，或者回到") +
                      "<a href=\"/\">" + gbk("首页") + "</a>.</p></body></html>");
        (void)site;
        return page;
    }

private:
    static Text hexId(int n) {
        static const char kDigits[] = "0123456789abcdef";
        Text id = "5f2b";
        unsigned value = static_cast<unsigned>(n) * 2654435761u;
        for (int i = 0; i < 20; ++i) {
            id += kDigits[(value >> ((i % 8) * 4)) & 15];
            if (i % 8 == 7) value = value * 2246822519u + static_cast<unsigned>(n);
        }
        return id;
    }

    static Text slugOf(int n) {
        static const char* const kWords[] = {"notes", "slow",   "build", "garden", "bike",
                                             "paper", "server", "bread", "week",   "lessons"};
        return Text(kWords[n % 10]) + "-" + kWords[(n / 10 + 3) % 10] + "-" + kWords[(n + 7) % 10];
    }
};

}  // namespace lumo::test
