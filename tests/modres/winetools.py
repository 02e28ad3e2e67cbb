"""What the Wine checks share: finding wine64 and its server, and the
environment a program runs in (its own prefix, the locale given, no Mono or
Gecko installers)."""
import os
import shutil


def wine_tools():
    """(wine64, wineserver) or None."""
    wine = shutil.which("wine64") or next(
        (p for p in ("/usr/lib/wine/wine64", "/usr/lib64/wine/wine64") if os.access(p, os.X_OK)), None)
    if not wine:
        return None
    server = shutil.which("wineserver") or os.path.join(os.path.dirname(wine), "wineserver")
    return (wine, server) if os.access(server, os.X_OK) else None


def wine_env(work, lang="C.UTF-8"):
    env = dict(os.environ, WINEPREFIX=os.path.join(work, "prefix"), WINEDEBUG="-all", LANG=lang, LC_ALL=lang)
    # No Mono or Gecko: their installers would ask to download.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    return env
