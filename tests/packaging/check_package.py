#!/usr/bin/env python3
"""The Debian package that `make package` builds, checked as a packager and a user would.

  check_package.py build BUILD_DIR PACKAGE_DIR       builds it with CPack into a fresh PACKAGE_DIR
  check_package.py contents PACKAGE_DIR APP_ID MAKEFILE
                                                     its files, Depends, Recommends, the one id, and
                                                     its program run from / as packaged
  check_package.py lintian PACKAGE_DIR               no lintian error
  check_package.py desktop PACKAGE_DIR APP_ID        desktop-file-validate and appstreamcli validate,
                                                     no error and no warning

A check whose tool is not installed is skipped (exit status 77); `make test` installs them all.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SKIPPED = 77

RECOMMENDS = ["libvulkan1", "mesa-vulkan-drivers | vulkan-icd", "ocl-icd-libopencl1",
              "pocl-opencl-icd | opencl-icd", "libqt6svg6"]
# Opened at run time, so never a dependency: the program starts and runs its other tests without.
RUN_TIME_ONLY = ["libvulkan", "vulkan", "opencl", "pocl", "libqt6svg6"]
# Linked by the program: dpkg-shlibdeps must have found each, with its version.
LINKED = ["libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6"]


def run(*command, check=True):
    return subprocess.run(command, capture_output=True, text=True, check=check, cwd="/")


def the_package(package_dir):
    debs = glob.glob(os.path.join(package_dir, "*.deb"))
    if len(debs) != 1:
        sys.exit(f"FAIL: expected one .deb in {package_dir}, found {debs}")
    return debs[0]


def build(build_dir, package_dir):
    shutil.rmtree(package_dir, ignore_errors=True)
    result = run("cpack", "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"),
                 "-B", package_dir, check=False)
    if result.returncode != 0:
        print(result.stdout, result.stderr)
        return 1
    print("ok: built", os.path.basename(the_package(package_dir)))
    return 0


def expected_files(app_id):
    return {
        "./usr/bin/velmora": "-rwxr-xr-x",
        "./usr/share/velmora/SpeedReadWrite.cl": "-rw-r--r--",
        f"./usr/share/applications/{app_id}.desktop": "-rw-r--r--",
        f"./usr/share/metainfo/{app_id}.metainfo.xml": "-rw-r--r--",
        f"./usr/share/icons/hicolor/scalable/apps/{app_id}.svg": "-rw-r--r--",
        "./usr/share/man/man1/velmora.1.gz": "-rw-r--r--",
        "./usr/share/bash-completion/completions/velmora": "-rw-r--r--",
        "./usr/share/doc/velmora/copyright": "-rw-r--r--",
        "./usr/share/doc/velmora/changelog.gz": "-rw-r--r--",
        "./usr/share/doc/velmora/velmora-result.schema.json": "-rw-r--r--",
    }


def relations(field):
    return [alternative.strip() for alternative in field.split(",") if alternative.strip()]


def contents(package_dir, app_id, makefile):
    deb = the_package(package_dir)
    problems = []

    files = {}
    for line in run("dpkg-deb", "-c", deb).stdout.splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        if not mode.startswith("d"):
            files[path] = (mode, owner)
    expected = expected_files(app_id)
    for path, mode in expected.items():
        if path not in files:
            problems.append(f"{path} is not in the package")
        elif files[path] != (mode, "root/root"):
            problems.append(f"{path} is {' '.join(files[path])}, not {mode} root/root")
    for path in sorted(set(files) - set(expected)):
        problems.append(f"{path} is in the package and should not be")

    depends = relations(run("dpkg-deb", "-f", deb, "Depends").stdout)
    for library in LINKED:
        if not any(re.fullmatch(rf"{re.escape(library)} \(>= [^)]+\)", relation) for relation in depends):
            problems.append(f"Depends lacks {library} with its version from dpkg-shlibdeps: {depends}")
    for relation in depends:
        if any(name in relation.lower() for name in RUN_TIME_ONLY):
            problems.append(f"Depends names {relation}, which the program only opens at run time")
    recommends = relations(run("dpkg-deb", "-f", deb, "Recommends").stdout)
    if recommends != RECOMMENDS:
        problems.append(f"Recommends is {recommends}, not {RECOMMENDS}")

    with tempfile.TemporaryDirectory() as root:
        run("dpkg-deb", "-x", deb, root)
        # The program as packaged (stripped) runs from / with the kernel source the package holds.
        version = run("dpkg-deb", "-f", deb, "Version").stdout.strip()
        log = run(f"{root}/usr/bin/velmora", "--console", "--test", "opencl", "--size", "256", "--passes", "2",
                  "--cores", "2", check=False).stdout.splitlines()
        if not log or not log[0].startswith(f"Velmora {version} "):
            problems.append(f"the packaged program's title line is {log[:1]}, without the version {version}")
        if not any(line.startswith("OpenCL GFX RAM read & write test peak: ") for line in log):
            problems.append("the packaged program's OpenCL test did not complete:\n" + "\n".join(log))

        # One id everywhere: the entry's file name and icon, the metainfo's id, launchable and icon.
        with open(f"{root}/usr/share/applications/{app_id}.desktop", encoding="utf-8") as entry:
            icon = re.search(r"^Icon=(.*)$", entry.read(), re.MULTILINE)
        if not icon or icon.group(1) != app_id:
            problems.append(f"the desktop entry's icon is {icon and icon.group(1)}, not {app_id}")
        component = ElementTree.parse(f"{root}/usr/share/metainfo/{app_id}.metainfo.xml").getroot()
        found = {
            "id": component.findtext("id"),
            "launchable": component.findtext("launchable[@type='desktop-id']"),
            "icon": component.findtext("icon[@type='stock']"),
        }
        wanted = {"id": app_id, "launchable": f"{app_id}.desktop", "icon": app_id}
        if found != wanted:
            problems.append(f"the metainfo names {found}, not {wanted}")
        # Its screenshot is the picture `make screenshot` takes.
        image = component.findtext("screenshots/screenshot/image") or ""
        with open(makefile, encoding="utf-8") as rules:
            taken = re.search(r"--screenshot\s+(\S+)", rules.read())
        if not taken or os.path.basename(image) != os.path.basename(taken.group(1)):
            problems.append(f"the metainfo's screenshot {image} is not the picture make screenshot takes "
                            f"({taken and taken.group(1)})")

    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"ok: {len(files)} files in place; Depends {', '.join(depends)}; Recommends {', '.join(recommends)}")
    return 1 if problems else 0


def lintian(package_dir):
    if shutil.which("lintian") is None:
        print("skipped: lintian is not installed")
        return SKIPPED
    result = run("lintian", "--fail-on", "error", "--display-level", ">=info", the_package(package_dir), check=False)
    print(result.stdout, result.stderr, sep="")
    return 1 if result.returncode != 0 else 0


def desktop(package_dir, app_id):
    checks = [
        ("desktop-file-validate", f"usr/share/applications/{app_id}.desktop", []),
        ("appstreamcli", f"usr/share/metainfo/{app_id}.metainfo.xml", ["validate", "--no-net"]),
    ]
    problems, ran = [], 0
    with tempfile.TemporaryDirectory() as root:
        run("dpkg-deb", "-x", the_package(package_dir), root)
        for tool, path, arguments in checks:
            if shutil.which(tool) is None:
                print(f"skipped: {tool} is not installed")
                continue
            ran += 1
            result = run(tool, *arguments, os.path.join(root, path), check=False)
            report = (result.stdout + result.stderr).replace(root + "/", "")
            print(f"{tool}: {report.strip() or 'no remark'}")
            # Warnings fail too: desktop-file-validate exits 0 on them, appstreamcli prints "W:".
            if result.returncode != 0 or re.search(r"(warning|error):|^[EW]: ", report, re.MULTILINE):
                problems.append(f"{tool} finds fault with {path}")
    for problem in problems:
        print("FAIL:", problem)
    if ran == 0:
        return SKIPPED
    return 1 if problems else 0


if __name__ == "__main__":
    command, arguments = sys.argv[1], sys.argv[2:]
    sys.exit({"build": build, "contents": contents, "lintian": lintian, "desktop": desktop}[command](*arguments))
