# Two commands for a newcomer (see README.md).
.PHONY: demo test dist

demo:
	tools/demo.sh

test:
	tests/run_all.sh

dist:
	tools/make-dist.sh
