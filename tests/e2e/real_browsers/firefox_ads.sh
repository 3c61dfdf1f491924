# Firefox for the real browsers' ad test (sourced by ./ads): a fresh profile
# that trusts the test CA and treats the news pages as public, and a headed
# run against a hosts file of its own, bind-mounted in a private mount
# namespace so the machine's /etc/hosts is never touched.

# ff_hosts <HOSTS file Norvane wrote> <out>: the ads' lines of it, the page's
# name, and Firefox's settings server, which it resolves itself past any
# proxy: given the blocked address, that name never leaves the machine.
ff_hosts() {
  {
    printf '127.0.0.1 localhost\n::1 localhost\n127.0.0.3 news.example\n'
    printf '0.0.0.0 firefox.settings.services.mozilla.com\n'
    tr -d '\r' <"$1" | awk 'NF == 2 && $2 ~ /^ad[0-9]\.example$/'
  } >"$2"
}

# ff_profile <dir> <ca.pem> <names>: only the comma-separated names go out
# directly; everything else Firefox would fetch of its own goes to a proxy
# nobody listens on, whichever service it is and whatever pref would stop it.
ff_profile() {
  local profile=$1 ca=$2 names=$3 type
  mkdir -p "$profile"
  certutil -N -d "sql:$profile" --empty-password
  certutil -A -d "sql:$profile" -n norvane-test-ca -t C,, -i "$ca"
  {
    echo 'user_pref("network.proxy.type", 1);'
    for type in http ssl; do
      printf 'user_pref("network.proxy.%s", "127.0.0.1");\nuser_pref("network.proxy.%s_port", 9);\n' $type $type
    done
    printf 'user_pref("network.proxy.no_proxies_on", "%s");\n' "$names"
  } >"$profile/user.js"
  # No DoH, updates, telemetry, first-run pages or pushes either; the pages'
  # plain-HTTP ads stay plain HTTP.
  cat >>"$profile/user.js" <<'PREFS'
user_pref("network.trr.mode", 5);
user_pref("network.lna.address_space.public.override", "127.0.0.3:8443,127.0.0.3:8080");
user_pref("dom.security.https_only_mode", false);
user_pref("dom.security.https_first", false);
user_pref("dom.security.https_first_schemeless", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_override_url", "");
user_pref("browser.sessionstore.resume_from_crash", false);
user_pref("browser.tabs.warnOnClose", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("toolkit.telemetry.enabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.enabled", false);
user_pref("app.update.auto", false);
user_pref("app.normandy.enabled", false);
user_pref("app.shield.optoutstudies.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("network.dns.disablePrefetch", true);
user_pref("network.prefetch-next", false);
user_pref("network.http.speculative-parallel-limit", 0);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("browser.safebrowsing.downloads.enabled", false);
user_pref("browser.safebrowsing.update.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("extensions.getAddons.cache.enabled", false);
user_pref("browser.region.update.enabled", false);
user_pref("browser.newtabpage.enabled", false);
user_pref("browser.discovery.enabled", false);
user_pref("media.gmp-manager.updateEnabled", false);
user_pref("browser.region.network.url", "");
user_pref("geo.provider.network.url", "");
user_pref("dom.push.enabled", false);
user_pref("dom.push.connection.enabled", false);
user_pref("browser.newtabpage.activity-stream.showSponsored", false);
user_pref("browser.newtabpage.activity-stream.showSponsoredTopSites", false);
user_pref("browser.newtabpage.activity-stream.feeds.section.topstories", false);
user_pref("datareporting.usage.uploadEnabled", false);
user_pref("toolkit.telemetry.unified", false);
user_pref("toolkit.telemetry.archive.enabled", false);
user_pref("security.OCSP.enabled", 0);
user_pref("security.remote_settings.crlite_filters.enabled", false);
user_pref("security.remote_settings.intermediates.enabled", false);
PREFS
}

# ff_open <profile> <hosts file> <url> <log>: starts Firefox in the
# background; its pid in $ff_pid. It opens the page from a local one two seconds
# later, so that the page's load time is not its start-up's.
ff_open() {
  local go=${4%.*}.html
  printf '<meta http-equiv="refresh" content="2;url=%s">\n' "$3" >"$go"
  timeout 40 unshare --mount sh -c 'mount --bind "$1" /etc/hosts && shift && exec "$@"' sh "$2" \
    firefox-esr -profile "$1" -no-remote -new-instance "file://$go" >"$4" 2>&1 &
  ff_pid=$!
}
