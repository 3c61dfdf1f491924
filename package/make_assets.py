#!/usr/bin/env python3
"""Makes the assets installed beside norvane.exe: the starter list files, the
replacement GIF, the sounds, the help text, the program icon and the setup's
picture. Run it after changing anything here; its output is committed."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Well-known ad servers, written by hand. Names of the operating system's
# vendor are left out on purpose: security software resets HOSTS files that
# redirect them.
AD_SERVERS = """
101com.com 101order.com 123found.com 180hits.de 180searchassistant.com 1x1rank.com
207.net 247media.com 24log.com 24log.de 2o7.net 360yield.com
a.consumer.net a.mktw.net accounts.pkr.com acetrk.com ad.100.tal.de ad.a8.net
ad.abcnews.com ad.about.com ad.adnetwork.net ad.adtegrity.net ad.doubleclick.net
ad.mo.doubleclick.net ad.yieldmanager.com adbrite.com adbureau.net adcentriconline.com
adclick.g.doubleclick.net addthis.com adform.net adforce.com adfusion.com adimg.net
adition.com adjuggler.com adlegend.com admarketplace.net adnetwork.net adocean.pl
adriver.ru ads.adbrite.com ads.admonitor.net ads.advertising.com ads.yahoo.com
adsafeprotected.com adserver.yahoo.com adservice.google.com adsrvr.org adtech.de
adtechus.com advertising.com adzerk.net amazon-adsystem.com an.yandex.ru
atwola.com bluekai.com burstnet.com casalemedia.com chitika.net contextweb.com
criteo.com criteo.net doubleclick.net exponential.com fastclick.net googleadservices.com
googlesyndication.com imrworldwide.com intellitxt.com krxd.net mathtag.com
media.net mediaplex.com moatads.com mookie1.com openx.net outbrain.com
pagead2.googlesyndication.com partner.googleadservices.com pubmatic.com quantserve.com
revsci.net rubiconproject.com scorecardresearch.com serving-sys.com smartadserver.com
specificclick.net taboola.com tradedoubler.com tribalfusion.com turn.com
valueclick.com valueclick.net yieldmanager.com zedo.com
""".split()

COOKIES = ["google", "yahoo", "amazon", "paypal", "ebay"]
POPUPS = ["Norvane", "Online Banking", "Print Preview"]


def list_file(entries):
    return "".join(e.strip() + "\r\n" for e in entries) + "\r\n\r\n"


def write(rel, data, mode="wb"):
    path = os.path.join(HERE, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as f:
        f.write(data)


# A transparent 1x1 GIF: the blocked banner disappears from the page.
GIF = bytes.fromhex("47494638396101000100800000000000ffffff21f904010000000"
                    "02c00000000010001000002024401003b")


def wav(tones, rate=22050):
    """16-bit mono PCM from (frequency, milliseconds, volume) parts with short fades."""
    samples = []
    for freq, ms, vol in tones:
        n = int(rate * ms / 1000)
        fade = max(1, min(n // 4, rate // 200))
        for i in range(n):
            env = min(1.0, i / fade, (n - i) / fade)
            samples.append(int(32767 * vol * env * math.sin(2 * math.pi * freq * i / rate)))
    data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " + struct.pack("<I", 16) +
            fmt + b"data" + struct.pack("<I", len(data)) + data)


def icon_pixels(size):
    """A blue shield with a white check: BGRA rows, top row first."""
    rows = []
    c = (size - 1) / 2.0
    for y in range(size):
        row = []
        for x in range(size):
            nx, ny = (x - c) / (size / 2.0), (y - c) / (size / 2.0)
            # Shield: a rounded top half and a point at the bottom.
            inside = (abs(nx) <= 0.82 and ny <= 0.15 and ny >= -0.9) or \
                     (ny > 0.15 and abs(nx) <= 0.82 * (1 - (ny - 0.15) / 0.8))
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            shade = int(170 - 60 * (ny + 1) / 2)
            colour = (shade + 60, shade // 2 + 20, 20, 255)  # B, G, R, A
            # The check mark: two strokes.
            d1 = abs((ny - 0.05) - (nx + 0.35) * 1.0)
            d2 = abs((ny - 0.05) + (nx - 0.05) * 1.6 * 0.9 + 0.32)
            stroke = 0.11 if size > 16 else 0.16
            if (-0.45 <= nx <= -0.05 and d1 < stroke) or (-0.1 <= nx <= 0.5 and d2 < stroke):
                colour = (255, 255, 255, 255)
            row.append(colour)
        rows.append(row)
    return rows


def ico(sizes):
    images = []
    for s in sizes:
        rows = icon_pixels(s)
        header = struct.pack("<IiiHHIIiiII", 40, s, s * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b"".join(bytes(p) for row in reversed(rows) for p in row)
        mask_row = ((s + 31) // 32) * 4
        andmask = b""
        for row in reversed(rows):
            bits = bytearray(mask_row)
            for x, p in enumerate(row):
                if p[3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            andmask += bytes(bits)
        images.append((s, header + xor + andmask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in images:
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, d in images)


def wizard_bmp(width=164, height=314, shield=96):
    """The setup's welcome and finish picture: the shield on a pale blue
    gradient, as a bottom-up 24-bit BMP."""
    icon = icon_pixels(shield)
    left, top = (width - shield) // 2, 56
    rows = []
    for y in range(height):
        t = y / (height - 1)
        back = (int(251 - 38 * t), int(241 - 45 * t), int(234 - 62 * t))  # B, G, R
        row = bytearray()
        for x in range(width):
            b, g, r = back
            iy, ix = y - top, x - left
            if 0 <= iy < shield and 0 <= ix < shield and icon[iy][ix][3]:
                b, g, r = icon[iy][ix][:3]
            row += bytes((b, g, r))
        row += bytes((-len(row)) % 4)
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


HELP = r"""{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Tahoma;}}{\colortbl;\red24\green52\blue112;}
\f0\fs20
{\cf1\b\fs32 Norvane! Help\par}
\par
Norvane keeps banner ads, popup windows and cookies away from your web browser. It runs quietly in the notification area near the clock. Point at its icon to see how many banners, cookies and popups it has stopped since it started.\par
\par
{\cf1\b\fs24 The icon and its menu\par}
Right-click the icon to open the menu:\par
{\b Block Ads} switches banner blocking on and off.\par
{\b Kill Cookies} switches the cookie cleaner on and off.\par
{\b Block Popups} switches popup blocking on and off.\par
{\b Settings} opens the settings, where you edit the lists described below. A left click or double click on the icon opens them too.\par
{\b Help} shows this text. {\b About} shows the version and the running counts. {\b Exit} ends Norvane.\par
Norvane remembers which of the three switches were on when you exit and switches them on again at the next start.\par
\par
{\cf1\b\fs24 How banner blocking works\par}
While Block Ads is on, Norvane writes the names of known ad servers into the Windows HOSTS file so that they point to your own computer (127.0.0.1). A small web server inside Norvane answers every request that then arrives: a picture becomes an invisible image, an ad frame becomes a one-line page saying the ad was blocked, and an ad script writes a small notice instead. Your own HOSTS entries are saved in a backup when Norvane starts and are put back when you switch blocking off or exit, even if another program added lines in the meantime.\par
If another web server already uses port 80, Norvane tells you and exits; stop that server and start Norvane again.\par
\par
{\cf1\b\fs24 How popup blocking works\par}
Ten times a second Norvane looks at the window in front. A browser or folder window that opened without its toolbars is a popup and is closed, with a short sound. Windows whose title contains an entry of your allowed-popups list are kept, when you have chosen to use that list.\par
\par
{\cf1\b\fs24 How the cookie cleaner works\par}
While Kill Cookies is on, Norvane deletes the cookie files of your browser, together with their entries in the Internet cache, except those of the sites on your list of cookies to keep. Each deletion is recorded in cookies.log in the program folder.\par
\par
{\cf1\b\fs24 Files in the program folder\par}
data\\hosts.svr: the ad servers to block, one per line.\par
data\\cookies.svr: the sites whose cookies are kept.\par
data\\popups.svr: the window titles of popups to allow.\par
data\\dns.svr: saved address and host-name pairs added to the HOSTS file when you choose so.\par
ads.log, cookies.log: what was blocked and deleted; each is started afresh when it grows past 16,000 bytes. err.log: problems Norvane met.\par
\par
{\cf1\b\fs24 Good to know\par}
Only one Norvane runs at a time. The list files are write-protected while Norvane is not running, and the HOSTS file is set read-only after exit; Norvane lifts this again when it starts.\par
}
"""

if __name__ == "__main__":
    write("data/hosts.svr", list_file(AD_SERVERS).encode("ascii"))
    write("data/cookies.svr", list_file(COOKIES).encode("ascii"))
    write("data/popups.svr", list_file(POPUPS).encode("ascii"))
    write("data/dns.svr", list_file([]).encode("ascii"))
    write("images/4.gif", GIF)
    write("popupblock.wav", wav([(880, 60, 0.5), (660, 90, 0.4)]))
    write("resources/over.wav", wav([(1400, 25, 0.25)]))
    write("resources/click.wav", wav([(900, 20, 0.45), (500, 25, 0.3)]))
    write("help.rtf", HELP.replace("\n", "\r\n").encode("ascii"))
    write("win32/norvane.ico", ico([16, 32, 48]))
    write("installer/wizard.bmp", wizard_bmp())
    print("assets written; %d ad servers" % len(AD_SERVERS))
