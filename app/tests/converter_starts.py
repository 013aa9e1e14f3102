"""The converter binary starts with a fixture registry and settings folder,
ends by itself (nothing after start-up is wired yet) and has logged its start."""
import os
import subprocess
import sys
import tempfile

binary = sys.argv[1]
with tempfile.TemporaryDirectory() as root:
    settings = os.path.join(root, "Inställningar")
    os.makedirs(settings)
    with open(os.path.join(settings, "settings.ini"), "w", encoding="utf-8") as f:
        f.write("[SD]\nBaseUrl=http://127.0.0.1:9/sd\n[MLX]\nLogg=1\n")
    registry = os.path.join(root, "registry.reg")
    escaped = settings.replace("\\", "\\\\")
    with open(registry, "w", encoding="utf-8") as f:
        f.write("Windows Registry Editor Version 5.00\n\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MolnixConverter.exe]\n"
                f"\"InifilePath\"=\"{escaped}\"\n")
    temp = os.path.join(root, "tmp")
    os.makedirs(temp)
    env = dict(os.environ, MOLNIX_REGISTRY=registry, TMPDIR=temp, QT_QPA_PLATFORM="offscreen",
               LANG="xx_YY.UTF-8", HOME="")
    run = subprocess.run([binary, "-U", "anna@firma.se", "-P", "KOLMADM.EXE", "-W", "hemligt"],
                         env=env, timeout=60, capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"converter exited {run.returncode}: {run.stderr}")
    log = os.path.join(temp, "MolnixConverter", "mlx_logg.txt")
    with open(log, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if not lines or not lines[0].endswith(" Tessal Molnix Converter startad"):
        sys.exit(f"no start line in the log: {lines}")
    if any("hemligt" in line for line in lines):
        sys.exit("the desktop password reached the log")
print("converter started and logged")
