"""The converter starts with a fixture registry and settings folder, logs its
start, and runs its wizard to the end. The guided tour (the same program with a
guide that answers every window) stands in for the user:

  - started by the administration program without a company folder, it says
    "Företaget kunde inte hittas." and ends;
  - started alone, the login comes first; with nothing to type the guide cancels it.
"""
import os
import subprocess
import sys
import tempfile

tour = sys.argv[1]


def run(root, arguments):
    temp = os.path.join(root, "tmp")
    os.makedirs(temp, exist_ok=True)
    env = dict(os.environ, MOLNIX_REGISTRY=os.path.join(root, "registry.reg"), TMPDIR=temp,
               QT_QPA_PLATFORM="offscreen", LANG="xx_YY.UTF-8", HOME="", MOLNIX_TOUR_SECONDS="60")
    for name in ("MOLNIX_TOUR_EMAIL", "MOLNIX_TOUR_PASSWORD", "MOLNIX_TOUR_SHOTS", "MOLNIX_TOUR_SEND",
                 "MOLNIX_TOUR_WATCH"):
        env.pop(name, None)
    done = subprocess.run([tour] + arguments, env=env, timeout=90, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"converter exited {done.returncode}: {done.stdout}{done.stderr}")
    return done.stdout.splitlines()


with tempfile.TemporaryDirectory() as root:
    settings = os.path.join(root, "Inställningar")
    os.makedirs(settings)
    with open(os.path.join(settings, "settings.ini"), "w", encoding="utf-8") as f:
        f.write("[SD]\nBaseUrl=http://127.0.0.1:9/sd\n[MLX]\nLogg=1\n")
    escaped = settings.replace("\\", "\\\\")
    with open(os.path.join(root, "registry.reg"), "w", encoding="utf-8") as f:
        f.write("Windows Registry Editor Version 5.00\n\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MolnixConverter.exe]\n"
                f"\"InifilePath\"=\"{escaped}\"\n")

    steps = run(root, ["-U", "anna@firma.se", "-P", "KOLMADM.EXE", "-W", "hemligt"])
    if steps != ["message: Företaget kunde inte hittas.", "tour: the converter ended with 0"]:
        sys.exit(f"unexpected steps from the administration program's start: {steps}")
    log = os.path.join(root, "tmp", "MolnixConverter", "mlx_logg.txt")
    with open(log, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if not lines or not lines[0].endswith(" Tessal Molnix Converter startad"):
        sys.exit(f"no start line in the log: {lines}")
    if any("hemligt" in line for line in lines):
        sys.exit("the desktop password reached the log")

    steps = run(root, [])
    if steps != ["login: ", "tour: the converter ended with 0"]:
        sys.exit(f"unexpected steps when started alone: {steps}")
print("converter started, logged and ran its wizard")
