# Two commands for a newcomer (see README.md).
.PHONY: demo test

demo:
	tools/demo.sh

test:
	tests/run_all.sh
