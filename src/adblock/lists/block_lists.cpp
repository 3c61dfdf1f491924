#include "adblock/lists/block_lists.h"

#include <algorithm>
#include <random>

#include "platform/background.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/http_fetch.h"
#include "popups/log_trap.h"
#include "store/list_file.h"

namespace nv {

namespace {

std::weak_ptr<BlockLists*> Weak(const std::shared_ptr<BlockLists*>& self) { return self; }

// Why an answer that came whole is still not taken.
std::string Implausible(const ParsedList& parsed) {
  if (parsed.looksLikeHtml) return "The answer was a web page, not a block list; the last good copy stays.";
  if (parsed.names.Size() < kFewestNames)
    return "The answer held " + std::to_string(parsed.names.Size()) + " names, too few for a block list; the last "
           "good copy stays.";
  return "";
}

}  // namespace

BlockLists::BlockLists(Services& services, std::function<void()> changed)
    : s_(services), changed_(std::move(changed)) {}

BlockLists::~BlockLists() {
  *self_ = nullptr;
  if (timer_ && s_.platform.timers) s_.platform.timers->Cancel(timer_);
}

// Without a worker, a fetcher and a clock (tests of other features) the
// subscriptions stay as they are.
void BlockLists::Start() {
  if (!s_.platform.background || !s_.platform.http || !s_.platform.clock) return;
  started_ = true;
  ReadLists(false);
  if (auto bytes = s_.store.ReadFile(s_.store.Path(paths::kSubscriptionsState)))
    ParseSubscriptionState(*bytes, subs_);
  LoadCopies();
  Schedule();
}

// A missing list of subscriptions (a program folder from before them) means
// the default one; an empty file means the user removed it. A list that
// cannot be read changes nothing: its copies are not the user's to lose.
void BlockLists::ReadLists(bool dropGone) {
  std::vector<std::string> urls;
  Files& files = *s_.platform.files;
  const std::string listPath = s_.store.Path(paths::kSubscriptionsList);
  if (!files.Exists(listPath)) {
    urls.push_back(kDefaultSubscription);
  } else {
    ListBox list;
    if (!s_.store.LoadListFile(list, listPath)) return;
    urls = list.Items();
  }
  std::vector<Subscription> next;
  for (const std::string& url : urls) {
    Subscription* known = Find(url);
    next.push_back(known ? *known : Subscription{url});
  }
  for (const Subscription& old : subs_)
    if (dropGone && std::find(urls.begin(), urls.end(), old.url) == urls.end())
      files.Remove(s_.store.Path(CopyFileName(old.url)));
  subs_ = std::move(next);
  ListBox allow;
  const std::string allowPath = s_.store.Path(paths::kAllowList);
  if (files.Exists(allowPath) && s_.store.LoadListFile(allow, allowPath)) names_.allow = AllowList(allow.Items());
}

void BlockLists::Reload() {
  if (!started_) return;
  ReadLists(true);
  Saved();
  Merge();
  FetchDue();
}

void BlockLists::UpdateNow() {
  if (!started_) return;
  for (Subscription& sub : subs_) Fetch(sub);
}

// The copies are read and parsed away from the UI thread; then what is due
// is fetched.
void BlockLists::LoadCopies() {
  struct Copy {
    std::string url, path;
    ParsedList parsed;
    bool read = false;
  };
  auto copies = std::make_shared<std::vector<Copy>>();
  for (const Subscription& sub : subs_) copies->push_back(Copy{sub.url, s_.store.Path(CopyFileName(sub.url))});
  Files* files = s_.platform.files;
  s_.platform.background->Run(
      [copies, files] {
        for (Copy& c : *copies) {
          try {
            if (!files->Exists(c.path)) continue;
            c.parsed = ParseBlockList(files->ReadAll(c.path));
            c.read = true;
          } catch (const AppError&) {
            // Unreadable: as if never fetched; the next answer replaces it.
          }
        }
      },
      [self = Weak(self_), copies] {
        auto alive = self.lock();
        if (!alive || !*alive) return;
        BlockLists& me = **alive;
        for (Copy& c : *copies) {
          Subscription* sub = me.Find(c.url);
          if (!sub || !c.read || sub->names) continue;
          sub->count = c.parsed.names.Size();
          sub->names = std::make_shared<const NameSet>(std::move(c.parsed.names));
        }
        me.Merge();
        me.FetchDue();
      });
}

void BlockLists::FetchDue() {
  const std::int64_t now = MinutesOf(s_.platform.clock->Now());
  for (Subscription& sub : subs_) {
    const std::int64_t last = MinutesOf(sub.lastGood);
    if (!sub.names || last < 0 || now - last >= kRefreshMinutes || now < last) Fetch(sub);
  }
}

void BlockLists::Fetch(Subscription& sub) {
  if (sub.fetching) return;
  if (!MayFetch(sub.url)) {
    sub.state = "Only https:// addresses are fetched.";
    Saved();
    return;
  }
  HttpRequest request{sub.url, kListMaxBytes, kListTimeoutMs};
  if (sub.names) {  // without a copy, a "not modified" would leave nothing
    request.ifNoneMatch = sub.etag;
    request.ifModifiedSince = sub.lastModified;
  }
  sub.fetching = true;
  sub.state = kStateFetching;
  if (shown_) shown_();
  s_.platform.http->Get(request, [self = Weak(self_), url = sub.url](const HttpAnswer& answer) {
    if (auto alive = self.lock(); alive && *alive) (*alive)->Answered(url, answer);
  });
}

void BlockLists::Answered(const std::string& url, const HttpAnswer& answer) {
  Subscription* sub = Find(url);
  if (!sub) return;
  if (!answer.ok) {
    sub->fetching = false;
    if (answer.status == 304 && sub->names) {
      sub->state = kStateNotModified;
      sub->lastGood = Now();
    } else {
      sub->state = answer.failure.empty() ? "The list could not be fetched." : answer.failure;
    }
    return Saved();
  }
  auto body = std::make_shared<std::string>(answer.body);
  auto parsed = std::make_shared<ParsedList>();
  s_.platform.background->Run([body, parsed] { *parsed = ParseBlockList(*body); },
                              [self = Weak(self_), url, body, parsed, answer = HttpAnswer{true, "", "", answer.status,
                                                                                       answer.etag, answer.lastModified}] {
                                if (auto alive = self.lock(); alive && *alive)
                                  (*alive)->Parsed(url, *parsed, *body, answer);
                              });
}

// A good answer becomes the last good copy before its names are used, so an
// offline start finds what this run blocked.
void BlockLists::Parsed(const std::string& url, const ParsedList& parsed, const std::string& body,
                        const HttpAnswer& answer) {
  Subscription* sub = Find(url);
  if (!sub) return;
  sub->fetching = false;
  if (std::string why = Implausible(parsed); !why.empty()) {
    sub->state = why;
    return Saved();
  }
  try {
    s_.platform.files->WriteAtomic(s_.store.Path(CopyFileName(url)), body);
  } catch (const AppError& e) {
    sub->state = "The copy could not be saved: " + e.description;
    return Saved();
  }
  sub->count = parsed.names.Size();
  sub->names = std::make_shared<const NameSet>(parsed.names);
  sub->lastGood = Now();
  sub->state = kStateUpToDate;
  sub->etag = answer.etag;
  sub->lastModified = answer.lastModified;
  Saved();
  Merge();
}

// One merge at a time; names that changed meanwhile are merged again.
void BlockLists::Merge() {
  ++generation_;
  if (merging_) {
    mergeAgain_ = true;
    return;
  }
  merging_ = true;
  auto sets = std::make_shared<std::vector<std::shared_ptr<const NameSet>>>();
  for (const Subscription& sub : subs_)
    if (sub.names) sets->push_back(sub.names);
  auto merged = std::make_shared<NameSet>();
  s_.platform.background->Run(
      [sets, merged] {
        std::vector<const NameSet*> all;
        for (const auto& set : *sets) all.push_back(set.get());
        *merged = NameSet::Union(all);
      },
      [self = Weak(self_), merged] {
        auto alive = self.lock();
        if (!alive || !*alive) return;
        BlockLists& me = **alive;
        me.merging_ = false;
        me.names_.names = std::move(*merged);
        if (me.mergeAgain_) {
          me.mergeAgain_ = false;
          return me.Merge();
        }
        if (me.changed_) me.changed_();
      });
}

// Every day, a few minutes later each time, so that not every copy of the
// program asks the list's server at the same moment.
void BlockLists::Schedule() {
  if (!s_.platform.timers) return;
  static std::minstd_rand random(static_cast<unsigned>(s_.platform.clock->TickMs()) | 1u);
  const unsigned delay = static_cast<unsigned>(random() % (kMostDelayMinutes + 1));
  const unsigned ms = static_cast<unsigned>((kRefreshMinutes + delay) * 60 * 1000);
  timer_ = s_.platform.timers->StartOnce(ms, [self = Weak(self_)] {
    auto alive = self.lock();
    if (!alive || !*alive) return;
    (*alive)->timer_ = 0;
    (*alive)->UpdateNow();
    (*alive)->Schedule();
  });
}

// The state is written as it changes; a failure to write it only costs a
// fetch at the next start, so it is logged.
void BlockLists::Saved() {
  RunLoggingFailures(s_.store, [&] {
    s_.platform.files->WriteAtomic(s_.store.Path(paths::kSubscriptionsState), FormatSubscriptionState(subs_));
  });
  if (shown_) shown_();
}

Subscription* BlockLists::Find(const std::string& url) {
  for (Subscription& sub : subs_)
    if (sub.url == url) return &sub;
  return nullptr;
}

std::string BlockLists::Now() { return TimeText(s_.platform.clock->Now()); }

}  // namespace nv
